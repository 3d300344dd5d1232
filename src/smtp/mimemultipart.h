#pragma once

#include "mimepart.h"

#include <QList>

// A container part: its body is the listed parts between boundary lines. It refers to its parts; their
// creator owns them.
class MimeMultiPart : public MimePart {
    Q_OBJECT

public:
    enum MultiPartType { Mixed, Digest, Alternative, Related, Report, Signed, Encrypted };

    explicit MimeMultiPart(MultiPartType type = Related);

    void addPart(MimePart* part) { m_parts.append(part); }
    const QList<MimePart*>& getParts() const { return m_parts; }

    void setMimeType(MultiPartType type);
    MultiPartType getMimeType() const { return m_type; }

    void prepare() override;

private:
    QList<MimePart*> m_parts;
    MultiPartType m_type;
};
