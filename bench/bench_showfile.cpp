// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes a large show and sets the times against what merely
// reading or copying the file's bytes takes on this machine. Each measured
// phase runs in a child process of its own, so its peak memory can be read
// from the kernel and no phase warms the heap for the next.
#include "bench/PhaseRunner.h"
#include "show/colURLs.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int DefaultSlides = 1000000;
constexpr int Runs = PhaseRuns;

/// What one run of a phase reports.
/// A plausible address of about 60 characters: web pages, pages with a
/// query, local pages and pictures.
QByteArray makeAddress(std::mt19937& random, int index)
{
    static const char* const sites[] = {"www.northwind-travel.com", "intranet.example.org",
                                        "photos.lakeside-club.net", "www.city-museum.org.uk"};
    static const char* const folders[] = {"exhibitions/2023", "news/archive", "gallery/summer",
                                          "products/catalogue"};
    const int kind = int(random() % 10);
    QByteArray address;
    if (kind < 6) {
        address = QByteArray("http://") + sites[random() % 4] + '/' + folders[random() % 4] +
                  "/page" + QByteArray::number(index) + ".html";
    } else if (kind < 8) {
        address = QByteArray("https://") + sites[random() % 4] + "/search?q=slide+" +
                  QByteArray::number(index) + ",tour&lang=en";
    } else if (kind < 9) {
        address = QByteArray("C:\\Shows\\Holiday pictures\\Caf\xC3\xA9 terrace ") +
                  QByteArray::number(index) + ".jpg";
    } else {
        address = QByteArray("/home/presenter/shows/quarterly review/slide-") +
                  QByteArray::number(index) + ".htm";
    }
    return address;
}

/// Writes a show file as the program writes it.
bool generateShow(const QString& path, int slides)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::mt19937 random(20240611);
    QByteArray buffer;
    buffer.reserve(1 << 20);
    for (int i = 0; i < slides; ++i) {
        buffer += '"' + makeAddress(random, i) + "\",\"";
        if (random() % 10 == 0)
            buffer += "C:\\Sounds\\chime" + QByteArray::number(int(random() % 40)) + ".wav";
        buffer += "\",\"" + QByteArray::number(int(random() % 120)) + "\"," +
                  (random() % 20 == 0 ? "#TRUE#" : "#FALSE#") + "\r\n";
        if (buffer.size() > (1 << 20) - 512) {
            file.write(buffer);
            buffer.resize(0);
        }
    }
    file.write(buffer);
    return file.error() == QFile::NoError;
}

Result readBytes(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return {msSince(timer), 0, bytes.size()};
}

/// The floor of writing: the file's bytes read and written to a new file
/// the way the show is saved (a temporary file that replaces the target).
Result copyBytes(const QString& from, const QString& to)
{
    QElapsedTimer timer;
    timer.start();
    QFile source(from);
    QSaveFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return {};
    QByteArray block(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = source.read(block.data(), block.size());
        if (got <= 0)
            break;
        target.write(block.constData(), got);
        total += got;
    }
    const bool written = target.commit();
    return {msSince(timer), 0, written ? total : -1};
}

/// What merely taking fresh memory of a given size costs here: every page
/// is faulted in and zeroed by the kernel, whatever fills it.
Result touchMemory(double mb)
{
    QElapsedTimer timer;
    timer.start();
    const std::size_t bytes = std::size_t(mb * 1024 * 1024);
    char* memory = static_cast<char*>(std::malloc(bytes));
    if (!memory)
        return {};
    std::memset(memory, 1, bytes);
    const Result result{msSince(timer), 0, qint64(memory[bytes / 2])};
    std::free(memory);
    return result;
}

bool sameBytes(const QString& one, const QString& other)
{
    QFile a(one);
    QFile b(other);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    while (!a.atEnd()) {
        if (a.read(1 << 20) != b.read(1 << 20))
            return false;
    }
    return true;
}

double fileMb(const QString& path)
{
    return double(QFile(path).size()) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    const int slides = argc > 1 ? std::atoi(argv[1]) : DefaultSlides;
    QTemporaryDir folder;
    if (!folder.isValid() || slides <= 0)
        return 1;
    const QString showPath = folder.filePath(QStringLiteral("show.txt"));
    const QString copyPath = folder.filePath(QStringLiteral("copy.txt"));
    const QString savePath = folder.filePath(QStringLiteral("saved.txt"));
    if (!generateShow(showPath, slides))
        return 1;
    const double sizeMb = fileMb(showPath);
    std::printf("Show file: %d slides, %.1f MB; median of %d runs, each in a fresh process\n",
                slides, sizeMb, Runs);

    // Every phase should find the file in the page cache.
    readBytes(showPath);

    const Result idle = median([] { return Result(); });
    const Result floorRead = median([&] { return readBytes(showPath); });
    const Result reading = median([&] {
        colURLs show;
        QElapsedTimer timer;
        timer.start();
        show.Read_in_file(showPath);
        return Result{msSince(timer), 0, show.Count()};
    });
    const double showMb = reading.maxRssMb - idle.maxRssMb;
    const Result touching = median([&] { return touchMemory(showMb); });
    std::printf("\nReading\n");
    std::printf("  floor (QFile::readAll)   %8.1f ms   peak %6.1f MB\n", floorRead.ms,
                floorRead.maxRssMb);
    std::printf("  Read_in_file             %8.1f ms   peak %6.1f MB   (%lld slides)\n", reading.ms,
                reading.maxRssMb, static_cast<long long>(reading.check));
    std::printf("  time ratio               %8.2fx\n", reading.ms / floorRead.ms);
    std::printf("  fresh memory of that size %7.1f ms   (page faults alone: %.2fx the floor)\n",
                touching.ms, touching.ms / floorRead.ms);
    std::printf("  peak / file size         %8.2fx   (%.2fx without the idle process's %.1f MB)\n",
                reading.maxRssMb / sizeMb, (reading.maxRssMb - idle.maxRssMb) / sizeMb,
                idle.maxRssMb);

    const Result copying = median([&] { return copyBytes(showPath, copyPath); });
    const Result saving = median([&] {
        colURLs show;
        show.Read_in_file(showPath);
        show.TrayFilename = savePath;
        show.Changed = true;
        QElapsedTimer timer;
        timer.start();
        show.SavetoDisk();
        return Result{msSince(timer), 0, show.Changed ? -1 : show.Count()};
    });
    std::printf("\nWriting\n");
    std::printf("  floor (copy via QSaveFile) %6.1f ms\n", copying.ms);
    std::printf("  SavetoDisk               %8.1f ms   (%lld slides)\n", saving.ms,
                static_cast<long long>(saving.check));
    std::printf("  time ratio               %8.2fx\n", saving.ms / copying.ms);
    std::printf("  saved file %s the generated one\n",
                sameBytes(showPath, savePath) ? "is byte for byte" : "DIFFERS from");
    return 0;
}
