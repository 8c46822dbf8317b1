#include "i18n/Catalogue.h"

#include "i18n/LanguageKeys.h"

#include <QHash>
#include <QReadWriteLock>

namespace bw {

namespace {

struct Catalogue
{
    QReadWriteLock lock;
    QHash<int, QString> texts; // by key number; absent means empty
};

Catalogue &catalogue()
{
    static Catalogue c;
    return c;
}

} // namespace

QString msg(int number)
{
    Catalogue &c = catalogue();
    QReadLocker locker(&c.lock);
    return c.texts.value(number);
}

QString msg(QStringView key)
{
    const int n = catalogueNumber(key);
    return n < 0 ? QString() : msg(n);
}

QString msg(const QString &key)
{
    return msg(QStringView(key));
}

QString msg(const char *key)
{
    return msg(QString::fromLatin1(key));
}

void applyBuiltinMessages()
{
    Catalogue &c = catalogue();
    QWriteLocker locker(&c.lock);
    for (int n = 1; n <= kLastBuiltinMessage; ++n)
        c.texts.insert(n, builtinText(n));
}

bool setMessage(int number, const QString &text)
{
    if (!isCatalogueNumber(number))
        return false;
    Catalogue &c = catalogue();
    QWriteLocker locker(&c.lock);
    c.texts.insert(number, text);
    return true;
}

bool setMessage(QStringView key, const QString &text)
{
    return setMessage(catalogueNumber(key), text);
}

void resetMessages()
{
    Catalogue &c = catalogue();
    QWriteLocker locker(&c.lock);
    c.texts.clear();
}

} // namespace bw
