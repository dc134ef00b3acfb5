// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "guidance/frmSplash.h"

class TestFrmSplash : public QObject
{
    Q_OBJECT

private:
    /// A shown splash, exposed so that mouse clicks reach it.
    static QPointer<frmSplash> shownSplash()
    {
        QPointer<frmSplash> splash = new frmSplash;
        splash->show();
        if (!QTest::qWaitForWindowExposed(splash))
            qWarning("splash never exposed");
        return splash;
    }

    static QString labelText(QWidget* splash, const char* name)
    {
        auto* label = splash->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
    }

private Q_SLOTS:
    void labelsNameTheProgramItsVersionAndPlatform()
    {
        QPointer<frmSplash> splash = new frmSplash;
        QCOMPARE(splash->objectName(), QStringLiteral("frmSplash"));
        QCOMPARE(labelText(splash, "lblProductName"), QStringLiteral("Pagewheel"));
        QCOMPARE(labelText(splash, "lblVersion"), QStringLiteral("Version 1.3.0"));

        // The platform is the system we run on, kept to one short line.
        const QString platform = labelText(splash, "lblPlatform");
        QVERIFY(!platform.isEmpty());
        QVERIFY2(!platform.contains(QLatin1String("Windows 95")), qPrintable(platform));
        QVERIFY2(!platform.contains(QLatin1Char('(')), qPrintable(platform));
        QVERIFY2(platform.size() <= 40, qPrintable(platform));
        delete splash;
    }

    void labelsFitWithoutClipping()
    {
        QPointer<frmSplash> splash = shownSplash();
        for (const char* name : {"lblProductName", "lblVersion", "lblPlatform"}) {
            auto* label = splash->findChild<QLabel*>(QLatin1String(name));
            QVERIFY(label);
            QVERIFY2(label->sizeHint().width() <= label->width(), name);
            QVERIFY2(label->sizeHint().height() <= label->height(), name);
        }
        delete splash;
    }

    void splashIsFramelessAndCentred()
    {
        QPointer<frmSplash> splash = shownSplash();
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        const QPoint screenCentre = splash->screen()->availableGeometry().center();
        const QPoint centre = splash->frameGeometry().center();
        QVERIFY2((centre - screenCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("centre %1,%2 screen centre %3,%4")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(screenCentre.x())
                                .arg(screenCentre.y())));
        delete splash;
    }

    void shapeAppearsOnlyWhenAskedAndMovesNothing()
    {
        QPointer<frmSplash> splash = shownSplash();
        auto* shape = splash->findChild<QWidget*>(QStringLiteral("Shape1"));
        QVERIFY(shape);
        QVERIFY(!shape->isVisible());

        auto* name = splash->findChild<QLabel*>(QStringLiteral("lblProductName"));
        QVERIFY(name);
        const QRect nameBefore = name->geometry();
        const QRect shapeBefore = shape->geometry();

        splash->showShape();
        QVERIFY(shape->isVisible());
        // The shape rings the emblem that is already there: the layout holds still.
        QCOMPARE(name->geometry(), nameBefore);
        QCOMPARE(shape->geometry(), shapeBefore);
        QVERIFY(
            splash->rect().contains(shape->geometry().translated(shape->parentWidget()->pos())));

        splash->showShape();
        QVERIFY(shape->isVisible());
        delete splash;
    }

    void anyKeyClosesAndUnloads_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("escape") << int(Qt::Key_Escape);
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("letter") << int(Qt::Key_P);
    }

    void anyKeyClosesAndUnloads()
    {
        QFETCH(int, key);
        QPointer<frmSplash> splash = shownSplash();
        QTest::keyClick(splash.data(), Qt::Key(key));
        QVERIFY(splash.isNull() || !splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    }

    void clickOnTheFrameClosesAndUnloads_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("withShape");
        QTest::newRow("frame") << QStringLiteral("fraMainFrame") << false;
        QTest::newRow("product name on the frame") << QStringLiteral("lblProductName") << false;
        QTest::newRow("platform on the frame") << QStringLiteral("lblPlatform") << false;
        QTest::newRow("shape on the frame") << QStringLiteral("Shape1") << true;
    }

    void clickOnTheFrameClosesAndUnloads()
    {
        QFETCH(QString, target);
        QFETCH(bool, withShape);
        QPointer<frmSplash> splash = shownSplash();
        if (withShape)
            splash->showShape();
        auto* widget = splash->findChild<QWidget*>(target);
        QVERIFY(widget);

        QSignalSpy destroyed(splash.data(), &QObject::destroyed);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        QVERIFY(splash.isNull() || !splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
        QCOMPARE(destroyed.count(), 1);
    }

    void otherButtonsAndMovesLeaveItUp()
    {
        QPointer<frmSplash> splash = shownSplash();
        auto* frame = splash->findChild<QFrame*>(QStringLiteral("fraMainFrame"));
        QVERIFY(frame);
        QTest::mouseClick(frame, Qt::RightButton, {}, frame->rect().center());
        QTest::mouseMove(frame, frame->rect().topLeft() + QPoint(20, 20));
        QTest::qWait(50);
        QVERIFY(!splash.isNull());
        QVERIFY(splash->isVisible());
        delete splash;
    }

    void ownerCanStillCloseItAfterTheShape()
    {
        // Start-up shows the splash, then the shape, then closes it itself.
        QPointer<frmSplash> splash = shownSplash();
        splash->showShape();
        splash->close();
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frmSplash.moc"
