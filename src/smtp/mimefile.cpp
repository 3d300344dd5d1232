#include "mimefile.h"

#include <QFile>
#include <QFileInfo>

MimeFile::MimeFile(QFile* file)
    : m_file(file) {
    m_contentType = QStringLiteral("application/octet-stream");
    m_contentName = file ? QFileInfo(*file).fileName() : QString();
    m_encoding = Base64;
}

void MimeFile::prepare() {
    m_content.clear();
    // An unreadable file gives an empty body rather than no mail at all.
    if (m_file && m_file->open(QIODevice::ReadOnly)) {
        m_content = m_file->readAll();
        m_file->close();
    }
    MimePart::prepare();
}
