#include "mimeinlinefile.h"

MimeInlineFile::MimeInlineFile(QFile* file)
    : MimeFile(file) {}

void MimeInlineFile::prepare() {
    // A multipart prepares its parts each time it is prepared; the disposition must still appear once.
    const QString disposition = QStringLiteral("Content-Disposition: inline\r\n");
    if (!m_header.contains(disposition))
        m_header += disposition;
    MimeFile::prepare();
}
