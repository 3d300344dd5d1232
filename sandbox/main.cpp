#include <QCoreApplication>
#include <QTcpServer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 1;
    QTextStream(stdout) << server.serverPort() << Qt::endl;
    return app.exec();
}
