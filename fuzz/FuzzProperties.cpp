// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzProperties.h"

#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "settings/ReadInOptions.h"
#include "show/colURLs.h"
#include "show/modInpExp.h"
#include "startup/modMain.h"
#include "webshow/modTemplate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace FuzzProperties {

namespace {

// The control template: only what the page generator needs after the arrays.
const QByteArray Nav = "// the script goes on\r\n</script>\r\n</head>\r\n"
                       "<body onload=\"start_man()\">\r\n</body>\r\n</html>\r\n";

/// A folder in memory where there is one: the checks save and read files
/// for every input, and a disk's syncs would slow them down a hundredfold.
QString folderTemplate()
{
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    return memory.isDir() && memory.isWritable()
               ? QStringLiteral("/dev/shm/pagewheel-fuzz-XXXXXX")
               : QDir::tempPath() + QStringLiteral("/pagewheel-fuzz-XXXXXX");
}

struct State
{
    QTemporaryDir folder{folderTemplate()};
    ScriptedPrompts prompts;
    qsizetype baselineMarkup = 0;
};

std::unique_ptr<State>& state()
{
    static std::unique_ptr<State> instance;
    return instance;
}

QString inFolder(const QString& name)
{
    return state()->folder.filePath(name);
}

/// The bytes as the input file; its path.
QString writeInput(QByteArrayView bytes)
{
    state()->prompts.clear();
    const QString path = inFolder(QStringLiteral("input.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes.data(), bytes.size());
    return path;
}

/// A text the file formats carry unchanged: no quote (they have no escape)
/// and no line end.
bool plain(const QString& text)
{
    return !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QLatin1Char('\n'));
}

QString describe(const cURL& slide)
{
    return QStringLiteral("[%1|%2|%3|%4]")
        .arg(slide.HREF, slide.SoundFile)
        .arg(slide.PauseTime)
        .arg(slide.SkipField);
}

qsizetype markupCount(const QString& page)
{
    return page.count(QLatin1Char('<'));
}

QString buildPage(const QString& title, const colURLs& show)
{
    qint16 longest = 0;
    return modTemplate::BuildShowPage(title, 5, true, show, QString(), QString(), false, longest,
                                      QDateTime(QDate(2024, 6, 11), QTime(14, 3, 59)));
}

} // namespace

void setUp()
{
    state() = std::make_unique<State>();
    modMain::SetProgramFolder(state()->folder.path());
    QFile nav(inFolder(QStringLiteral("NAV.txt")));
    if (nav.open(QIODevice::WriteOnly))
        nav.write(Nav);
    nav.close();
    state()->baselineMarkup = markupCount(buildPage(QString(), colURLs()));
}

QString showFile(QByteArrayView bytes)
{
    colURLs show;
    if (!show.Read_in_file(writeInput(bytes)))
        return QStringLiteral("a readable show file was refused");
    bool allPlain = true;
    for (const colURLs::Slide& slide : show) {
        if (slide->HREF.isEmpty() && slide->SoundFile.isEmpty())
            return QStringLiteral("a slide with neither address nor sound");
        for (const QString& field : {slide->HREF, slide->SoundFile}) {
            if (field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n')))
                return QStringLiteral("a field holds a line end: ") + describe(*slide);
            if (field.startsWith(QChar(0xFEFF)))
                return QStringLiteral("a field begins with a byte-order mark: ") + describe(*slide);
        }
        allPlain = allPlain && plain(slide->HREF) && plain(slide->SoundFile);
    }
    if (!allPlain)
        return {};

    show.TrayFilename = inFolder(QStringLiteral("saved.txt"));
    show.SavetoDisk();
    colURLs again;
    if (!again.Read_in_file(show.TrayFilename))
        return QStringLiteral("a saved show cannot be read");
    if (again.Count() != show.Count())
        return QStringLiteral("%1 slides saved, %2 read").arg(show.Count()).arg(again.Count());
    for (qint32 i = 1; i <= show.Count(); ++i) {
        const cURL& a = *show.Item(i);
        const cURL& b = *again.Item(i);
        if (a.HREF != b.HREF || a.SoundFile != b.SoundFile || a.PauseTime != b.PauseTime ||
            a.SkipField != b.SkipField)
            return QStringLiteral("slide %1 saved as %2, read as %3")
                .arg(i)
                .arg(describe(a), describe(b));
    }
    return {};
}

QString optionsFile(QByteArrayView bytes)
{
    COptions options;
    options.init_options();
    modMain::ReadInOptions(writeInput(bytes), options);
    if (options.ReloadInterval < 0 || options.ReloadMode < 1 || options.ReloadMode > 3 ||
        options.CarouselMode < 1 || options.CarouselMode > 2 || options.CarouselOperation < 1 ||
        options.CarouselOperation > 2 || options.AutoMode < 0 || options.AutoMode > 6 ||
        options.StartingSlide < 0)
        return QStringLiteral("an option outside its range");
    for (const QString& text : {options.CarouselFileName, options.StartingAddress,
                                options.AutoDDEexe, options.AutoDDEapp}) {
        if (!plain(text))
            return {};
    }

    const QString saved = inFolder(QStringLiteral("options.txt"));
    if (!options.SavetoFile(saved))
        return QStringLiteral("options could not be saved");
    COptions again;
    if (!modMain::ReadInOptions(saved, again))
        return QStringLiteral("saved options cannot be read");
    const bool same =
        again.ReloadInterval == options.ReloadInterval && again.ReloadMode == options.ReloadMode &&
        again.CarouselMode == options.CarouselMode &&
        again.CarouselOperation == options.CarouselOperation &&
        again.CarouselFileName == options.CarouselFileName &&
        again.StartingAddress == options.StartingAddress &&
        again.StartingSlide == options.StartingSlide && again.DisplayTips == options.DisplayTips &&
        again.DisplayWizard == options.DisplayWizard && again.BusyWait == options.BusyWait &&
        again.AutoStart == options.AutoStart && again.UseDefault == options.UseDefault &&
        again.ToolTips == options.ToolTips && again.AutoMode == options.AutoMode &&
        again.AutoDDEexe == options.AutoDDEexe && again.AutoDDEapp == options.AutoDDEapp;
    return same ? QString() : QStringLiteral("saved options read back different");
}

QString bookmarkFile(QByteArrayView bytes)
{
    colURLs show;
    modInpExp::ReadInBookmarks(writeInput(bytes), show);
    QStringList addresses;
    for (const colURLs::Slide& slide : show) {
        if (slide->HREF.isEmpty())
            return QStringLiteral("a bookmark without an address");
        addresses.append(slide->HREF);
    }

    const QString exported = inFolder(QStringLiteral("export.htm"));
    show.Export_Bookmarks(exported);
    QFile file(exported);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the export was not written");
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    if (lines.size() != addresses.size() + 4)
        return QStringLiteral("%1 bookmarks exported as %2 lines")
            .arg(addresses.size())
            .arg(lines.size() - 1);
    static const QRegularExpression bookmarkLine(
        QStringLiteral("^\t<DT><A HREF=\"([^\"<>]*)\" ADD_DATE=\"\\d+\" LAST_VISIT=\"\\d+\" "
                       "LAST_MODIFIED=\"\\d+\"> ([^\"<>]*)</A>$"));
    bool reimportable = true;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QString& line = lines.at(i + 2);
        const QRegularExpressionMatch match = bookmarkLine.match(line);
        if (!match.hasMatch() || match.captured(1) != match.captured(2))
            return QStringLiteral("a bookmark line holds markup of its own: ") + line;
        // Import looks at 256 characters and the first ADD_DATE of a line.
        const qsizetype date = line.indexOf(QLatin1String("ADD_DATE"), 0, Qt::CaseInsensitive);
        reimportable = reimportable && date + 8 <= 256 &&
                       !addresses.at(i).contains(QLatin1String("ADD_DATE"), Qt::CaseInsensitive);
    }
    if (!reimportable)
        return {};
    colURLs again;
    modInpExp::ReadInBookmarks(exported, again);
    QStringList imported;
    for (const colURLs::Slide& slide : again)
        imported.append(slide->HREF);
    if (imported != addresses)
        return QStringLiteral("exported bookmarks import as other addresses");
    return {};
}

QString webShowPage(QByteArrayView bytes)
{
    colURLs show;
    show.Read_in_file(writeInput(bytes));
    const qsizetype end = bytes.indexOf('\n');
    const QString title = QString::fromUtf8(end < 0 ? bytes : bytes.first(end));
    const QString page = buildPage(title, show);
    if (page.isEmpty())
        return QStringLiteral("no page was made");
    for (const QChar c : page) {
        if (c.unicode() >= 0x80)
            return QStringLiteral("the page holds a character outside ASCII");
    }
    if (markupCount(page) != state()->baselineMarkup)
        return QStringLiteral("the page holds markup of the show's own");
    const QStringList lines = page.split(QStringLiteral("\r\n"));
    qsizetype slides = 0;
    qsizetype sounds = 0;
    for (const QString& line : lines) {
        slides += line.startsWith(QLatin1String("\tslides[")) ? 1 : 0;
        sounds += line.startsWith(QLatin1String("\tsounds[")) ? 1 : 0;
    }
    if (slides != show.Count() || sounds != show.Count())
        return QStringLiteral("%1 slides made %2 slide and %3 sound lines")
            .arg(show.Count())
            .arg(slides)
            .arg(sounds);
    return {};
}

} // namespace FuzzProperties
