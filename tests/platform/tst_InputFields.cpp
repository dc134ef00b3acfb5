// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InputFields.h"

#include <QTest>

using InputFields::Kind;

class tst_InputFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data();
    void split();
    void extraFieldsAreIgnored();
    void truthValuesReadAsWords();
};

void tst_InputFields::split_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("show record") << QByteArray(R"("C:\a\b.htm","","10",#FALSE#)")
                                 << QStringList{"C:\\a\\b.htm", "", "10", "False"};
    QTest::newRow("comma inside quotes")
        << QByteArray(R"("http://x/?a=1,2","s.wav")") << QStringList{"http://x/?a=1,2", "s.wav"};
    QTest::newRow("leading blanks skipped")
        << QByteArray("  \"a\" ,\t 12 , b  ") << QStringList{"a", "12", "b"};
    QTest::newRow("empty line is one empty field") << QByteArray("") << QStringList{""};
    QTest::newRow("trailing comma") << QByteArray("\"a\",") << QStringList{"a", ""};
    QTest::newRow("unbalanced quote runs to the end")
        << QByteArray(R"("abc,def)") << QStringList{"abc,def"};
    QTest::newRow("text after a closing quote is passed over")
        << QByteArray(R"("abc"xyz,"d")") << QStringList{"abc", "d"};
    QTest::newRow("unquoted truth values")
        << QByteArray("#TRUE#,#false#") << QStringList{"True", "False"};
    QTest::newRow("byte-order marks are no text")
        << QByteArray("\xEF\xBB\xBF\"\xEF\xBB\xBF\xEF\xBB\xBF\", \xEF\xBB\xBF,\"a\xEF\xBB\xBF\"")
        << QStringList{"", "", QString::fromUtf8("a\xEF\xBB\xBF")};
    QTest::newRow("NUL bytes are kept as text")
        << QByteArray("\"a\0b\",c", 7) << QStringList{QString::fromUtf8("a\0b", 3), "c"};
}

void tst_InputFields::split()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, fields);
    InputFields::Field found[8];
    const int count = InputFields::split(line, found, 8);
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(found[i].text(TextCodec::Encoding::Utf8));
    QCOMPARE(texts, fields);
}

void tst_InputFields::extraFieldsAreIgnored()
{
    InputFields::Field found[2];
    QCOMPARE(InputFields::split("a,b,c,d", found, 2), 2);
    QCOMPARE(found[1].text(TextCodec::Encoding::Utf8), QStringLiteral("b"));
}

void tst_InputFields::truthValuesReadAsWords()
{
    // A quoted "#TRUE#" is text, not a truth value.
    InputFields::Field found[3];
    QCOMPARE(InputFields::split(R"(#TRUE#,"#TRUE#",#FALSE#)", found, 3), 3);
    QCOMPARE(found[0].kind, Kind::True);
    QCOMPARE(found[1].kind, Kind::Quoted);
    QCOMPARE(found[1].text(TextCodec::Encoding::Utf8), QStringLiteral("#TRUE#"));
    QCOMPARE(found[2].kind, Kind::False);
}

QTEST_GUILESS_MAIN(tst_InputFields)
#include "tst_InputFields.moc"
