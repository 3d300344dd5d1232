#include "mimeattachment.h"

MimeAttachment::MimeAttachment(QFile* file)
    : MimeFile(file) {}

void MimeAttachment::prepare() {
    // A multipart prepares its parts each time it is prepared; the disposition must still appear once.
    const QString disposition = QStringLiteral("Content-disposition: attachment\r\n");
    if (!m_header.contains(disposition))
        m_header += disposition;
    MimeFile::prepare();
}
