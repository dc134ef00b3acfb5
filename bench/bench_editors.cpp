// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the list editor on a large show and presses OK, and makes a show
// from a large folder, setting each time against what the program takes
// to read that show file, or QDir to list that folder, in the same run.
#include "bench/PhaseRunner.h"
#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 5;

double medianMs(const std::function<double()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i)
        times.push_back(run());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool writeShow(const QString& path, int slides)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray buffer;
    for (int i = 0; i < slides; ++i) {
        buffer += "\"http://www.example.org/gallery/summer/page" + QByteArray::number(i) +
                  ".html\",\"" + (i % 10 == 0 ? QByteArray("chime.wav") : QByteArray()) + "\",\"" +
                  QByteArray::number(i % 120) + "\"," + (i % 20 == 0 ? "#TRUE#" : "#FALSE#") +
                  "\r\n";
    }
    return file.write(buffer) == buffer.size();
}

bool makeFolder(const QString& folder, int files)
{
    for (int i = 0; i < files; ++i) {
        QFile file(folder + QStringLiteral("/picture%1.jpg").arg(i, 6, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

void report(const char* what, double ms, double baseline, const char* against)
{
    std::printf("%-38s %9.1f ms   %5.2fx %s\n", what, ms, ms / baseline, against);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    const int slides = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir folder;
    const QString showFile = folder.filePath(QStringLiteral("large.txt"));
    const QString pictures = folder.filePath(QStringLiteral("pictures"));
    if (!writeShow(showFile, slides) || !QDir().mkpath(pictures) || !makeFolder(pictures, slides)) {
        std::fprintf(stderr, "cannot write the test data\n");
        return 1;
    }
    COptions options;
    std::printf("%d slides, %d files, median of %d runs\n", slides, slides, Runs);

    // The list editor.
    const double read = medianMs([&] {
        colURLs show;
        QElapsedTimer clock;
        clock.start();
        show.Read_in_file(showFile);
        return msSince(clock);
    });
    colURLs show;
    show.Read_in_file(showFile);
    const double open = medianMs([&] {
        QElapsedTimer clock;
        clock.start();
        frmListEdit editor(show, options, nullptr);
        editor.show();
        QApplication::processEvents();
        const double ms = msSince(clock);
        editor.reject();
        return ms;
    });
    const double ok = medianMs([&] {
        frmListEdit editor(show, options, nullptr);
        editor.show();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QApplication::processEvents();
        return msSince(clock);
    });
    report("read the show file (baseline)", read, read, "");
    report("open the list editor", open, read, "of reading the file");
    report("OK in the list editor", ok, read, "of reading the file");

    // The show from a folder.
    const double list = medianMs([&] {
        QElapsedTimer clock;
        clock.start();
        const qsizetype count = QDir(pictures).entryList(QDir::Files, QDir::NoSort).size();
        const double ms = msSince(clock);
        return count == slides ? ms : -1.0;
    });
    const double make = medianMs([&] {
        colURLs made;
        frmDirList dialog(&made, options);
        dialog.setStartFolder(folder.path());
        dialog.show();
        dialog.findChild<QRadioButton*>(QStringLiteral("optAllFiles0"))->setChecked(true);
        dialog.findChild<QLineEdit*>(QStringLiteral("txtDir"))->setText(pictures);
        QElapsedTimer clock;
        clock.start();
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        const double ms = msSince(clock);
        return made.Count() == slides ? ms : -1.0;
    });
    report("list the folder with QDir (baseline)", list, list, "");
    report("Make Show from Directory", make, list, "of listing with QDir");
    return 0;
}
