// The sign-in form is built from the sign-in page eBay serves: whatever that page holds, the form must carry the
// user's own user id and password once each, and its encoding must give back exactly the items it was made of.
// Input: user id, password, one line each, then the sign-in page.

#include "fuzzinput.h"
#include "loginhelper.h"
#include "texthelpers.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString username = input.takeText();
    const QString password = input.takeText();
    const QString page = input.restText();

    const LoginHelper::FormItems items = LoginHelper::formItems(username, password, page);
    int userids = 0;
    int passwords = 0;
    for (const auto& item : items) {
        if (item.first == QLatin1String("userid")) {
            ++userids;
            FUZZ_CHECK(item.second == username);
        } else if (item.first == QLatin1String("pass")) {
            ++passwords;
            FUZZ_CHECK(item.second == password);
        }
    }
    FUZZ_CHECK(userids == 1 && passwords == 1);

    const QByteArray encoded = LoginHelper::encodeForm(items);
    const QList<QByteArray> pairs = encoded.split('&');
    FUZZ_CHECK(pairs.size() == items.size());
    // Only a page with a password input reads as the sign-in form served again.
    if (LoginHelper::isSignInForm(page))
        FUZZ_CHECK(withoutLineBreaks(page).contains(QLatin1String("pass"), Qt::CaseInsensitive));
    for (int i = 0; i < pairs.size(); ++i) {
        const QList<QByteArray> nameAndValue = pairs.at(i).split('=');
        FUZZ_CHECK(nameAndValue.size() == 2);
        FUZZ_CHECK(QUrl::fromPercentEncoding(nameAndValue.at(0)) == items.at(i).first);
        FUZZ_CHECK(QUrl::fromPercentEncoding(nameAndValue.at(1)) == items.at(i).second);
    }
    return 0;
}
