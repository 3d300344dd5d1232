#pragma once

#include "mimepart.h"

class QFile;

// A part whose body is read from a file when the part is prepared, sent Base64. The file stays the
// caller's; the part only reads it.
class MimeFile : public MimePart {
    Q_OBJECT

public:
    explicit MimeFile(QFile* file);

    QFile* getFile() const { return m_file; }

    void prepare() override;

protected:
    QFile* m_file;
};
