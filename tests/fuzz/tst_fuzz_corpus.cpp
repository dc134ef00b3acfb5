// SPDX-License-Identifier: GPL-3.0-or-later
// Every input of the checked-in fuzz corpus, through its reader's property.
#include "fuzz/FuzzProperties.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>

namespace {

using Property = std::function<QString(QByteArrayView)>;

const struct
{
    const char* folder;
    Property property;
} Readers[] = {
    {"showFile", FuzzProperties::showFile},
    {"optionsFile", FuzzProperties::optionsFile},
    {"bookmarkFile", FuzzProperties::bookmarkFile},
    {"webShowPage", FuzzProperties::webShowPage},
};

} // namespace

class tst_fuzz_corpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void replay_data();
    void replay();
};

void tst_fuzz_corpus::initTestCase()
{
    FuzzProperties::setUp();
}

void tst_fuzz_corpus::replay_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QString>("input");
    for (int reader = 0; reader < int(std::size(Readers)); ++reader) {
        const QDir folder(QStringLiteral(PW_FUZZ_CORPUS "/") +
                          QLatin1String(Readers[reader].folder));
        const QStringList inputs = folder.entryList(QDir::Files, QDir::Name);
        QVERIFY2(inputs.size() >= 10, qPrintable(folder.path()));
        for (const QString& input : inputs)
            QTest::addRow("%s/%s", Readers[reader].folder, qPrintable(input))
                << reader << folder.filePath(input);
    }
}

void tst_fuzz_corpus::replay()
{
    QFETCH(int, reader);
    QFETCH(QString, input);
    QFile file(input);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString broken = Readers[reader].property(bytes);
    QVERIFY2(broken.isEmpty(), qPrintable(broken));
}

QTEST_GUILESS_MAIN(tst_fuzz_corpus)
#include "tst_fuzz_corpus.moc"
