#include "mimemultipart.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {
QString contentTypeOf(MimeMultiPart::MultiPartType type) {
    switch (type) {
    case MimeMultiPart::Mixed:
        return QStringLiteral("multipart/mixed");
    case MimeMultiPart::Digest:
        return QStringLiteral("multipart/digest");
    case MimeMultiPart::Alternative:
        return QStringLiteral("multipart/alternative");
    case MimeMultiPart::Related:
        return QStringLiteral("multipart/related");
    case MimeMultiPart::Report:
        return QStringLiteral("multipart/report");
    case MimeMultiPart::Signed:
        return QStringLiteral("multipart/signed");
    case MimeMultiPart::Encrypted:
        return QStringLiteral("multipart/encrypted");
    }
    return QString();
}
} // namespace

MimeMultiPart::MimeMultiPart(MultiPartType type)
    : m_type(type) {
    m_contentType = contentTypeOf(type);
    m_encoding = _8Bit;
    const QByteArray seed(1, static_cast<char>(QRandomGenerator::global()->generate() & 0xFF));
    m_boundary = QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Md5).toHex());
}

void MimeMultiPart::setMimeType(MultiPartType type) {
    m_type = type;
    m_contentType = contentTypeOf(type);
}

void MimeMultiPart::prepare() {
    m_content.clear();
    for (MimePart* part : qAsConst(m_parts)) {
        m_content += QStringLiteral("--%1\r\n").arg(m_boundary).toUtf8();
        part->prepare();
        m_content += part->toString().toUtf8();
    }
    m_content += QStringLiteral("--%1--\r\n").arg(m_boundary).toUtf8();
    MimePart::prepare();
}
