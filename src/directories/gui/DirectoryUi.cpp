#include "directories/gui/DirectoryUi.h"

#include "app/gui/MessageDlg.h"
#include "data/DbError.h"
#include "i18n/Catalogue.h"
#include "i18n/LanguageKeys.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace bw {

QString catalogueTextOr(const QString &key, const QString &designText)
{
    QString text = msg(key);
    if (text.isEmpty())
        text = builtinText(catalogueNumber(key));
    return text.isEmpty() ? designText : text;
}

void runRecordSave(QDialog *dialog, const std::function<DirectoryOutcome()> &save)
{
    DirectoryOutcome o;
    try {
        o = save();
    } catch (const DbError &e) {
        ShowWarning(e.text());
        return;
    }
    switch (o.code) {
    case DirectoryOutcome::Nothing:
        return;
    case DirectoryOutcome::Refused:
        ShowInfo(catalogueTextOr(o.messageKey));
        return;
    case DirectoryOutcome::Missing:
        dialog->accept();
        return;
    case DirectoryOutcome::Done:
        dialog->accept();
        if (!o.messageKey.isEmpty())
            ShowInfo(catalogueTextOr(o.messageKey));
        return;
    }
}

void saveOnEnter(QLineEdit *field, const std::function<void()> &save)
{
    QObject::connect(field, &QLineEdit::returnPressed, field, save);
}

void noDefault(QPushButton *button)
{
    button->setAutoDefault(false);
    button->setDefault(false);
}

} // namespace bw
