#include "requests/gui/WindowTexts.h"

#include "app/gui/LanguageBinding.h"
#include "i18n/LanguageKeys.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace bw {

void setUpWindowTexts(QWidget *window, const QString &section)
{
    if (const WindowSection *s = findWindowSection(section)) {
        for (const WindowKey &key : s->keys) {
            if (!key.designText || !*key.designText)
                continue;
            const QString text = key.design();
            if (key.role == TextRole::WindowCaption) {
                window->setWindowTitle(text);
                continue;
            }
            QWidget *w = window->findChild<QWidget *>(key.controlName());
            if (!w)
                continue;
            if (key.role == TextRole::Hint)
                w->setToolTip(text);
            else if (key.role != TextRole::Text)
                continue;
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                b->setText(text);
            else if (auto *l = qobject_cast<QLabel *>(w))
                l->setText(text);
            else if (auto *g = qobject_cast<QGroupBox *>(w))
                g->setTitle(text);
        }
    }
    registerWindowTexts(window, section);
}

} // namespace bw
