#pragma once

#include "mimefile.h"

// A file part shown inside the message (for instance an image an HTML part refers to by its Content-ID).
class MimeInlineFile : public MimeFile {
    Q_OBJECT

public:
    explicit MimeInlineFile(QFile* file);

    void prepare() override;
};
