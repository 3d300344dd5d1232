// A notification mail's subject and display names come from outside (an eBay item title, the settings file):
// whatever they hold, and in every header encoding, they must stay inside their own header line, and an encoded
// subject must decode to the very title given.
// Input: the header encoding (first byte), subject, sender name, sender address, recipient name, one line each
// (a line may still hold a lone CR), then the body text.

#include "emailaddress.h"
#include "fuzzinput.h"
#include "mimemessage.h"
#include "mimetext.h"
#include "quotedprintable.h"

#include <QRegularExpression>

namespace {
QString decodedWord(QString word) {
    const QString base64 = QStringLiteral("=?utf-8?B?");
    const QString quoted = QStringLiteral("=?utf-8?Q?");
    FUZZ_CHECK(word.endsWith(QLatin1String("?=")));
    word.chop(2);
    if (word.startsWith(base64))
        return QString::fromUtf8(QByteArray::fromBase64(word.mid(base64.size()).toLatin1()));
    FUZZ_CHECK(word.startsWith(quoted));
    word = word.mid(quoted.size());
    FUZZ_CHECK(!word.contains(QLatin1Char(' ')) && !word.contains(QLatin1Char('?')));
    return QString::fromUtf8(QuotedPrintable::decode(word.replace(QLatin1Char('_'), QLatin1Char(' '))));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    static const MimePart::Encoding encodings[] = {MimePart::_8Bit, MimePart::Base64, MimePart::QuotedPrintable};
    const MimePart::Encoding encoding = encodings[input.takeByte() % 3];
    const QString subject = input.takeText();
    EmailAddress sender(input.takeText(), QString());
    sender.setName(input.takeText());
    EmailAddress recipient(QStringLiteral("bidder@example.org"), input.takeText());
    MimeText body(input.restText());

    MimeMessage message;
    message.setSender(&sender);
    message.addRecipient(&recipient);
    message.setSubject(subject);
    message.setHeaderEncoding(encoding);
    message.addPart(&body);
    const QString text = message.toString();

    // The message's own header ends at the first empty line; every line before it is one of its fields.
    const int headEnd = text.indexOf(QLatin1String("\r\n\r\n"));
    FUZZ_CHECK(headEnd > 0);
    static const QRegularExpression field(
        QStringLiteral("^(From|To|Subject|Date|Message-ID|MIME-Version|Content-Type|Content-Transfer-Encoding):"));
    QString subjectValue;
    for (const QString& line : text.left(headEnd).split(QLatin1String("\r\n"))) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        FUZZ_CHECK(field.match(line).hasMatch());
        if (line.startsWith(QLatin1String("Subject: ")))
            subjectValue = line.mid(9);
    }
    if (encoding != MimePart::_8Bit)
        FUZZ_CHECK(decodedWord(subjectValue) == subject);
    return 0;
}
