// The About box: its size and positions follow the company picture.
#include "about_dialog.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void arrange_data();
    void arrange();
    void pictureFromCurrentDirectory();
};

void TestAbout::arrange_data()
{
    QTest::addColumn<QRect>("dialog");
    QTest::addColumn<QRect>("picture");
    QTest::addColumn<QSize>("version");
    QTest::addColumn<QRect>("newDialog");
    QTest::addColumn<QPoint>("picturePos");
    QTest::addColumn<QPoint>("versionPos");
    // Wide and tall enough: size kept, picture centred.
    QTest::newRow("small picture") << QRect(100, 100, 300, 170) << QRect(118, 47, 64, 64)
                                   << QSize(260, 20) << QRect(100, 100, 300, 170)
                                   << QPoint(118, 47) << QPoint(20, 20);
    // Picture wider than the dialog: width pw + 40, left edge at the picture's.
    QTest::newRow("wide picture") << QRect(100, 100, 300, 170) << QRect(10, 47, 400, 60)
                                  << QSize(260, 20) << QRect(110, 100, 440, 170)
                                  << QPoint(20, 47) << QPoint(90, 20);
    // Picture taller than the dialog: height ph + 80, top edge at the picture's.
    QTest::newRow("tall picture") << QRect(100, 100, 300, 170) << QRect(50, 30, 200, 300)
                                  << QSize(100, 20) << QRect(100, 130, 300, 380)
                                  << QPoint(50, 47) << QPoint(100, 20);
    // Less than 80 pixels to spare: height ph + 80, top kept.
    QTest::newRow("little room") << QRect(100, 100, 300, 170) << QRect(50, 47, 200, 120)
                                 << QSize(100, 20) << QRect(100, 100, 300, 200)
                                 << QPoint(50, 47) << QPoint(100, 20);
}

void TestAbout::arrange()
{
    QFETCH(QRect, dialog);
    QFETCH(QRect, picture);
    QFETCH(QSize, version);
    QFETCH(QRect, newDialog);
    QFETCH(QPoint, picturePos);
    QFETCH(QPoint, versionPos);
    const CAboutDialog::Layout layout = CAboutDialog::Arrange(dialog, picture, version);
    QCOMPARE(layout.dialog, newDialog);
    QCOMPARE(layout.picture, picturePos);
    QCOMPARE(layout.version, versionPos);
}

void TestAbout::pictureFromCurrentDirectory()
{
    QTemporaryDir dir;
    const QString here = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        CAboutDialog without;
        QVERIFY(!without.HasPicture());
    }
    QImage logo(320, 90, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QVERIFY(logo.save(dir.filePath(QStringLiteral("CompanyLogo.bmp")), "BMP"));
    CAboutDialog with;
    QDir::setCurrent(here);
    QVERIFY(with.HasPicture());
    QCOMPARE(with.PictureGeometry().size(), QSize(320, 90));
    QCOMPARE(with.PictureGeometry().top(), 47);
    QCOMPARE(with.width(), 360);   // wider than the template: pw + 40
    QCOMPARE(with.PictureGeometry().left(), 20);
    QCOMPARE(with.VersionGeometry().top(), 20);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
