// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VbConvert.h"

#include <QTest>

class tst_VbConvert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void val_data();
    void val();
    void int16_data();
    void int16();
    void int32Overflow();
    void boolean_data();
    void boolean();
};

void tst_VbConvert::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "30" << 30.0;
    QTest::newRow("blanks around") << "  12  " << 12.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("sign") << "-7" << -7.0;
    QTest::newRow("letters after") << "15sec" << 15.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
}

void tst_VbConvert::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(VbConvert::Val(text), value);
}

void tst_VbConvert::int16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "15" << true << 15;
    QTest::newRow("blanks") << " 15 " << true << 15;
    QTest::newRow("half to even down") << "2.5" << true << 2;
    QTest::newRow("half to even up") << "3.5" << true << 4;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("largest") << "32767" << true << 32767;
    QTest::newRow("smallest") << "-32768" << true << -32768;
    QTest::newRow("overflow") << "70000" << false << 0;
    QTest::newRow("just over after rounding") << "32767.5" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letters") << "12abc" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void tst_VbConvert::int16()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    qint16 result = 99;
    QCOMPARE(VbConvert::textToInt16(text, &result), ok);
    QCOMPARE(int(result), ok ? value : 99);
}

void tst_VbConvert::int32Overflow()
{
    qint32 result = 0;
    QVERIFY(VbConvert::textToInt32(u"70000", &result));
    QCOMPARE(result, 70000);
    QVERIFY(!VbConvert::textToInt32(u"3000000000", &result));
    QCOMPARE(result, 70000);
}

void tst_VbConvert::boolean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("value");
    QTest::newRow("True") << "True" << true << true;
    QTest::newRow("FALSE") << "FALSE" << true << false;
    QTest::newRow("tRuE") << "tRuE" << true << true;
    QTest::newRow("-1") << "-1" << true << true;
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("5") << "5" << true << true;
    QTest::newRow("yes") << "yes" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void tst_VbConvert::boolean()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(bool, value);
    bool result = false;
    QCOMPARE(VbConvert::textToBool(text, &result), ok);
    if (ok)
        QCOMPARE(result, value);
}

QTEST_GUILESS_MAIN(tst_VbConvert)
#include "tst_VbConvert.moc"
