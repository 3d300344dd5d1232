#pragma once

#include "mimefile.h"

// A file part offered to the reader as an attachment.
class MimeAttachment : public MimeFile {
    Q_OBJECT

public:
    explicit MimeAttachment(QFile* file);

    void prepare() override;
};
