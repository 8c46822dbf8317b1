#include "app/gui/LanguageBinding.h"

#include "i18n/LanguageFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace bw {

namespace {

std::optional<TextAccess> accessFor(QWidget *window, const WindowKey &key)
{
    QPointer<QWidget> w;
    const QString control = QString::fromUtf8(key.control);
    if (control.isEmpty() || key.role == TextRole::WindowCaption)
        w = window;
    else
        w = window->findChild<QWidget *>(control);
    if (!w) {
        if (auto *action = window->findChild<QAction *>(control)) {
            QPointer<QAction> a(action);
            return TextAccess{[a] { return a ? a->text() : QString(); }, [a](const QString &t) {
                                  if (a)
                                      a->setText(t);
                              }};
        }
        return std::nullopt;
    }
    switch (key.role) {
    case TextRole::WindowCaption:
        return TextAccess{[w] { return w ? w->windowTitle() : QString(); }, [w](const QString &t) {
                              if (w)
                                  w->setWindowTitle(t);
                          }};
    case TextRole::Hint:
        return TextAccess{[w] { return w ? w->toolTip() : QString(); }, [w](const QString &t) {
                              if (w)
                                  w->setToolTip(t);
                          }};
    case TextRole::Text:
        if (qobject_cast<QAbstractButton *>(w.data())) {
            return TextAccess{[w] { return w ? static_cast<QAbstractButton *>(w.data())->text() : QString(); },
                              [w](const QString &t) {
                                  if (w)
                                      static_cast<QAbstractButton *>(w.data())->setText(t);
                              }};
        }
        if (qobject_cast<QLabel *>(w.data())) {
            return TextAccess{[w] { return w ? static_cast<QLabel *>(w.data())->text() : QString(); },
                              [w](const QString &t) {
                                  if (w)
                                      static_cast<QLabel *>(w.data())->setText(t);
                              }};
        }
        if (qobject_cast<QGroupBox *>(w.data())) {
            return TextAccess{[w] { return w ? static_cast<QGroupBox *>(w.data())->title() : QString(); },
                              [w](const QString &t) {
                                  if (w)
                                      static_cast<QGroupBox *>(w.data())->setTitle(t);
                              }};
        }
        if (qobject_cast<QLineEdit *>(w.data())) {
            return TextAccess{[w] { return w ? static_cast<QLineEdit *>(w.data())->text() : QString(); },
                              [w](const QString &t) {
                                  if (w)
                                      static_cast<QLineEdit *>(w.data())->setText(t);
                              }};
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

int registerWindowTexts(QWidget *window, const QString &section)
{
    return LanguageRegistry::instance().addSection(window, section,
                                                   [window](const WindowKey &key) { return accessFor(window, key); });
}

} // namespace bw
