#include "requests/gui/WindowTexts.h"

#include "i18n/LanguageFile.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace bw {

namespace {

std::optional<TextAccess> accessFor(QWidget *window, const WindowKey &key)
{
    if (key.role == TextRole::WindowCaption) {
        return TextAccess{[window] { return window->windowTitle(); },
                          [window](const QString &t) { window->setWindowTitle(t); }};
    }
    QWidget *w = window->findChild<QWidget *>(key.controlName());
    if (!w)
        return std::nullopt;
    if (key.role == TextRole::Hint)
        return TextAccess{[w] { return w->toolTip(); }, [w](const QString &t) { w->setToolTip(t); }};
    if (key.role != TextRole::Text)
        return std::nullopt;
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return TextAccess{[b] { return b->text(); }, [b](const QString &t) { b->setText(t); }};
    if (auto *l = qobject_cast<QLabel *>(w))
        return TextAccess{[l] { return l->text(); }, [l](const QString &t) { l->setText(t); }};
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return TextAccess{[g] { return g->title(); }, [g](const QString &t) { g->setTitle(t); }};
    return std::nullopt;
}

} // namespace

void registerWindowTexts(QWidget *window, const QString &section)
{
    LanguageRegistry::instance().addSection(window, section, [window](const WindowKey &key) {
        std::optional<TextAccess> access = accessFor(window, key);
        if (access && key.designText && *key.designText)
            access->set(key.design());
        return access;
    });
}

} // namespace bw
