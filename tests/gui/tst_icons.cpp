#include "app/gui/Icons.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QtEndian>
#include <QtTest>

using namespace bw;

class TestIcons final : public QObject
{
    Q_OBJECT

private slots:
    void imageList1Pictures();
    void otherPictures();
    void statusAndTaskIndexes();
    void waveFiles_data();
    void waveFiles();
};

// Every position of the image list has its own visible 16 x 16 picture.
void TestIcons::imageList1Pictures()
{
    QSet<QByteArray> distinct;
    for (int index = 0; index < ImageIndex::Count; ++index)
    {
        const QPixmap pixmap = imageList1Pixmap(index);
        QVERIFY2(!pixmap.isNull(), qPrintable(QStringLiteral("picture %1").arg(index)));
        QCOMPARE(pixmap.size(), QSize(16, 16));
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
        {
            for (int x = 0; x < image.width(); ++x)
            {
                opaque += qAlpha(image.pixel(x, y)) > 128;
            }
        }
        QVERIFY2(opaque > 40, qPrintable(QStringLiteral("picture %1 is almost empty").arg(index)));
        distinct.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes())));
        QVERIFY(!imageList1(index).isNull());
    }
    QCOMPARE(distinct.size(), int(ImageIndex::Count));
    QVERIFY(imageList1Pixmap(-1).isNull());
    QVERIFY(imageList1Pixmap(ImageIndex::Count).isNull());
    QVERIFY(imageList1(ImageIndex::Count).isNull());
}

void TestIcons::otherPictures()
{
    QVERIFY(!appIcon().isNull());
    for (DialogPicture picture : {DialogPicture::Warning, DialogPicture::Information, DialogPicture::Question})
    {
        const QPixmap pixmap = dialogPicture(picture);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(49, 49));
    }
    for (MainButton button : {MainButton::Directories, MainButton::Requests, MainButton::Settings, MainButton::Exit})
    {
        QVERIFY(!mainButtonIcon(button).pixmap(32, 32).isNull());
    }
    QCOMPARE(noticeEnvelope().deviceIndependentSize().toSize(), QSize(65, 49));
}

void TestIcons::statusAndTaskIndexes()
{
    // Request statuses 0..4, then out of range.
    const QList<int> statuses = {statusImageIndex(0), statusImageIndex(1), statusImageIndex(2), statusImageIndex(3),
                                 statusImageIndex(4), statusImageIndex(5), statusImageIndex(-1)};
    QCOMPARE(statuses, (QList<int>{1, 0, 10, 2, 18, -1, -1}));
    const QList<int> tasks = {taskImportanceImageIndex(2), taskImportanceImageIndex(0), taskImportanceImageIndex(1),
                              taskImportanceImageIndex(3), taskKindImageIndex(0), taskKindImageIndex(1),
                              taskOwnerImageIndex(false), taskOwnerImageIndex(true), ImageIndex::Reminder};
    QCOMPARE(tasks, (QList<int>{11, 12, 13, -1, 9, 10, 7, 8, 14}));
}

void TestIcons::waveFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addRow("new request") << bwtest::sourceDir() + QStringLiteral("/resources/program/sounds/1.wav");
    ensureResources();
    QTest::addRow("exclamation") << QStringLiteral(":/sounds/exclamation.wav");
    QTest::addRow("asterisk") << QStringLiteral(":/sounds/asterisk.wav");
}

// Short 16-bit PCM mono waves that any player takes.
void TestIcons::waveFiles()
{
    QFETCH(QString, file);
    QFile f(file);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(file));
    const QByteArray data = f.readAll();
    QVERIFY(data.size() > 44);
    QCOMPARE(data.mid(0, 4), QByteArray("RIFF"));
    QCOMPARE(data.mid(8, 8), QByteArray("WAVEfmt "));
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(data.constData() + at); };
    QCOMPARE(u16(20), quint16(1));      // PCM
    QCOMPARE(u16(22), quint16(1));      // mono
    QCOMPARE(u32(24), quint32(22050));  // sample rate
    QCOMPARE(u16(34), quint16(16));     // bits per sample
    const double seconds = double(u32(40)) / (22050 * 2);
    QVERIFY2(seconds > 0.2 && seconds < 1.0, qPrintable(QString::number(seconds)));
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
