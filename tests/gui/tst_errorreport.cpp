#include "app/gui/Application.h"
#include "app/gui/MessageDlg.h"
#include "data/DbError.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

// An error that escapes a command handler ends that command, is shown with its own text, and the
// program keeps running.
class TestErrorReport final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapedErrorIsReportedAndTheProgramGoesOn()
    {
        bw::clearShownDialogs();
        bw::setDialogAutoAnswer([](const bw::DialogInfo &) { return 1; });
        QPushButton button;
        int afterThrow = 0;
        int clicks = 0;
        connect(&button, &QPushButton::clicked, this, [&] {
            ++clicks;
            throw bw::DbError(QStringLiteral("Table unknown\n-7"));
            ++afterThrow; // never reached: the command ends at the error
        });
        QTimer::singleShot(0, &button, [&button] { QTest::mouseClick(&button, Qt::LeftButton); });
        QTRY_COMPARE(clicks, 1);
        QTRY_COMPARE(bw::shownDialogs().size(), 1);
        QCOMPARE(bw::shownDialogs().first().message, QStringLiteral("Table unknown\n-7"));
        QCOMPARE(afterThrow, 0);

        // The next command works as usual.
        QTimer::singleShot(0, &button, [&button] { QTest::mouseClick(&button, Qt::LeftButton); });
        QTRY_COMPARE(clicks, 2);
        QTRY_COMPARE(bw::shownDialogs().size(), 2);
    }
};

int main(int argc, char *argv[])
{
    bw::Application app(argc, argv);
    TestErrorReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreport.moc"
