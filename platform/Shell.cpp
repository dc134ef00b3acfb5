// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Shell.h"

#include "platform/ProgramLocator.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#ifdef PW_HAVE_XCB
#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#endif

namespace {

Shell::Associations* installedAssociations = nullptr;

// The desktop's associations (XDG mime applications).

QString envPath(const char* name, const QString& fallback)
{
    const QString value = QString::fromLocal8Bit(qgetenv(name));
    return value.isEmpty() ? fallback : value;
}

QStringList envPaths(const char* name, const QString& fallback)
{
    return envPath(name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList dataFolders()
{
    return QStringList{
               envPath("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"))} +
           envPaths("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

// The mimeapps.list files, the most important first.
QStringList mimeAppsFiles()
{
    QStringList desktops;
    const QStringList current = envPaths("XDG_CURRENT_DESKTOP", QString());
    for (const QString& desktop : current)
        desktops.append(desktop.toLower());

    QStringList folders =
        QStringList{envPath("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))} +
        envPaths("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString& data : dataFolders())
        folders.append(data + QStringLiteral("/applications"));

    QStringList files;
    for (const QString& folder : folders) {
        for (const QString& desktop : desktops)
            files.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        files.append(folder + QStringLiteral("/mimeapps.list"));
    }
    return files;
}

// The groups of a key file: group name -> key -> value. Keys with a
// locale ("Name[de]") are kept as they are; callers read plain keys.
using KeyFile = QHash<QString, QHash<QString, QString>>;

KeyFile readKeyFile(const QString& path)
{
    KeyFile groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return groups;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        // The first value of a key counts, as in the desktop entry rules.
        if (!groups[group].contains(key))
            groups[group].insert(key, line.mid(equals + 1).trimmed());
    }
    return groups;
}

QStringList idList(const QString& value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// A desktop entry by its id, from the first applications folder holding it.
QString desktopEntryPath(const QString& id)
{
    for (const QString& data : dataFolders()) {
        const QString path = data + QStringLiteral("/applications/") + id;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString execLineOf(const QString& id)
{
    const QString path = desktopEntryPath(id);
    if (path.isEmpty())
        return QString();
    const KeyFile entry = readKeyFile(path);
    const auto& group = entry.value(QStringLiteral("Desktop Entry"));
    if (group.value(QStringLiteral("Hidden")) == QStringLiteral("true"))
        return QString();
    return group.value(QStringLiteral("Exec"));
}

// The Exec line of the application chosen for a type: the defaults of the
// mimeapps.list files in order, then their added associations, then the
// applications folders' caches, less what a file of the same or a higher
// rank removed.
QString execLineForType(const QStringList& types)
{
    const QStringList files = mimeAppsFiles();
    QList<KeyFile> lists;
    for (const QString& file : files)
        lists.append(readKeyFile(file));

    for (const KeyFile& list : lists) {
        for (const QString& type : types) {
            const QStringList ids =
                idList(list.value(QStringLiteral("Default Applications")).value(type));
            for (const QString& id : ids) {
                const QString exec = execLineOf(id);
                if (!exec.isEmpty())
                    return exec;
            }
        }
    }

    QStringList removed;
    auto firstKept = [&removed, &types](const QHash<QString, QString>& group) {
        for (const QString& type : types) {
            const QStringList ids = idList(group.value(type));
            for (const QString& id : ids) {
                if (removed.contains(id))
                    continue;
                const QString exec = execLineOf(id);
                if (!exec.isEmpty())
                    return exec;
            }
        }
        return QString();
    };
    for (const KeyFile& list : lists) {
        for (const QString& type : types)
            removed += idList(list.value(QStringLiteral("Removed Associations")).value(type));
        const QString exec = firstKept(list.value(QStringLiteral("Added Associations")));
        if (!exec.isEmpty())
            return exec;
    }
    for (const QString& data : dataFolders()) {
        const KeyFile cache = readKeyFile(data + QStringLiteral("/applications/mimeinfo.cache"));
        const QString exec = firstKept(cache.value(QStringLiteral("MIME Cache")));
        if (!exec.isEmpty())
            return exec;
    }
    return QString();
}

QStringList mimeTypesOf(const QString& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault())
        return QStringList{type.name()} + type.aliases();
    // Without the shared mime database, the document types a show uses.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("htm") || suffix == QStringLiteral("html") ||
        suffix == QStringLiteral("shtml"))
        return {QStringLiteral("text/html")};
    if (suffix == QStringLiteral("xhtml") || suffix == QStringLiteral("xht"))
        return {QStringLiteral("application/xhtml+xml")};
    return {};
}

// One word of an Exec line, and whether any of it stood in quotes.
struct ExecWord
{
    QString text;
    bool quoted = false;
};

// The desktop entry's string escapes (\s \n \t \r \\), then its quoting:
// blanks separate words, double quotes group them, and inside quotes a
// backslash escapes " ` $ and \.
QList<ExecWord> splitExecLine(const QString& exec)
{
    QString line;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c != QLatin1Char('\\') || i + 1 == exec.size()) {
            line += c;
            continue;
        }
        const QChar next = exec.at(++i);
        if (next == QLatin1Char('s'))
            line += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            line += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            line += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            line += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            line += QLatin1Char('\\');
        else
            line += QLatin1Char('\\') + QString(next);
    }

    QList<ExecWord> words;
    ExecWord word;
    bool inWord = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('\\') && i + 1 < line.size() &&
                       QStringLiteral("\"`$\\").contains(line.at(i + 1))) {
                word.text += line.at(++i);
            } else {
                word.text += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = inWord = word.quoted = true;
        } else if (c.isSpace()) {
            if (inWord)
                words.append(word);
            word = ExecWord();
            inWord = false;
        } else {
            word.text += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

bool isDocumentCode(const QString& word)
{
    static const QStringList codes{QStringLiteral("%f"), QStringLiteral("%F"), QStringLiteral("%u"),
                                   QStringLiteral("%U")};
    return codes.contains(word);
}

// A program named on its own is looked up on PATH; "~/" is the home folder.
QString resolveProgram(const QString& program)
{
    if (program.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + program.mid(1);
    if (program.contains(QLatin1Char('/')))
        return program;
    return QStandardPaths::findExecutable(program);
}

// Processes.

// The fields of /proc/<pid>/stat after the command name; empty when gone.
QStringList statFields(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString stat = QString::fromLatin1(file.readAll());
    const qsizetype close = stat.lastIndexOf(QLatin1Char(')'));
    if (close < 0)
        return {};
    return stat.mid(close + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A live process's start time in clock ticks since boot; -1 for a process
// that is gone or a zombie.
qint64 startTimeOf(qint64 pid)
{
    const QStringList fields = statFields(pid);
    if (fields.size() < 20 || fields.at(0) == QStringLiteral("Z"))
        return -1;
    return fields.at(19).toLongLong();
}

// The names a program's processes can show: its own file name and, for a
// link, the file name of its target.
QStringList programNames(const QString& program)
{
    QStringList names{QFileInfo(program).fileName()};
    const QString target = QFileInfo(resolveProgram(program)).canonicalFilePath();
    if (!target.isEmpty())
        names.append(QFileInfo(target).fileName());
    names.removeAll(QString());
    return names;
}

bool processMatches(qint64 pid, const QStringList& names)
{
    QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    exe.remove(QStringLiteral(" (deleted)"));
    if (!exe.isEmpty() && names.contains(QFileInfo(exe).fileName()))
        return true;
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return false;
    const QByteArray argv0 = cmdline.readAll().split('\0').value(0);
    return !argv0.isEmpty() && names.contains(QFileInfo(QString::fromLocal8Bit(argv0)).fileName());
}

// A process this program started, told apart from a later one that was
// given the same id by its start time.
struct StartedProcess
{
    qint64 pid = 0;
    qint64 startTime = -1;
};

QList<StartedProcess>& startedProcesses()
{
    static QList<StartedProcess> started;
    return started;
}

void forgetEndedProcesses()
{
    QList<StartedProcess>& started = startedProcesses();
    started.removeIf([](const StartedProcess& p) { return startTimeOf(p.pid) != p.startTime; });
}

#ifdef PW_HAVE_XCB

// A connection to the X display whose waits for answers end at a deadline.
class XDisplay
{
public:
    explicit XDisplay(int timeoutMs) : m_deadline(timeoutMs)
    {
        m_connection = xcb_connect(nullptr, &m_screenNumber);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_screenNumber && screens.rem; ++i)
            xcb_screen_next(&screens);
        if (screens.rem)
            m_root = screens.data->root;
    }
    ~XDisplay() { xcb_disconnect(m_connection); }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool usable() const { return m_root != XCB_NONE && !xcb_connection_has_error(m_connection); }
    bool timedOut() const { return m_timedOut; }
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }

    // The answer to a request, or nullptr (free() it). A display that does
    // not answer in time marks the display as timed out.
    void* reply(unsigned int sequence)
    {
        xcb_flush(m_connection);
        for (;;) {
            void* answer = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (xcb_poll_for_reply(m_connection, sequence, &answer, &error)) {
                free(error);
                return answer;
            }
            if (xcb_connection_has_error(m_connection))
                return nullptr;
            const qint64 remaining = m_deadline.remainingTime();
            if (remaining == 0) {
                m_timedOut = true;
                return nullptr;
            }
            pollfd wait{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&wait, 1, int(remaining));
        }
    }

    xcb_atom_t atom(const char* name)
    {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(m_connection, 0, uint16_t(strlen(name)), name);
        auto* answer = static_cast<xcb_intern_atom_reply_t*>(reply(cookie.sequence));
        const xcb_atom_t result = answer ? answer->atom : xcb_atom_t(XCB_NONE);
        free(answer);
        return result;
    }

    // A property of 32-bit values (atoms, windows, cardinals).
    QList<uint32_t> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
    {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_connection, 0, window, property, type, 0, 4096);
        auto* answer = static_cast<xcb_get_property_reply_t*>(reply(cookie.sequence));
        QList<uint32_t> values;
        if (answer && answer->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(answer));
            const int count = xcb_get_property_value_length(answer) / 4;
            for (int i = 0; i < count; ++i)
                values.append(data[i]);
        }
        free(answer);
        return values;
    }

    // The top-level windows: the window manager's client list, or the
    // root's mapped children when no window manager runs.
    QList<xcb_window_t> topLevelWindows(bool* managed)
    {
        const QList<uint32_t> clients =
            property32(m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
        *managed = !clients.isEmpty();
        if (*managed)
            return clients;
        QList<xcb_window_t> windows;
        const xcb_query_tree_cookie_t cookie = xcb_query_tree(m_connection, m_root);
        auto* tree = static_cast<xcb_query_tree_reply_t*>(reply(cookie.sequence));
        if (!tree)
            return windows;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            const xcb_get_window_attributes_cookie_t attributes =
                xcb_get_window_attributes(m_connection, children[i]);
            auto* answer =
                static_cast<xcb_get_window_attributes_reply_t*>(reply(attributes.sequence));
            if (answer && answer->map_state == XCB_MAP_STATE_VIEWABLE)
                windows.append(children[i]);
            free(answer);
        }
        free(tree);
        return windows;
    }

private:
    QDeadlineTimer m_deadline;
    xcb_connection_t* m_connection = nullptr;
    int m_screenNumber = 0;
    xcb_window_t m_root = XCB_NONE;
    bool m_timedOut = false;
};

Shell::Activation activate(const QList<qint64>& processIds, int timeoutMs)
{
    XDisplay display(timeoutMs);
    if (!display.usable())
        return Shell::Activation::NoWindow;

    bool managed = false;
    const QList<xcb_window_t> windows = display.topLevelWindows(&managed);
    const xcb_atom_t pidAtom = display.atom("_NET_WM_PID");
    xcb_window_t target = XCB_NONE;
    for (xcb_window_t window : windows) {
        const QList<uint32_t> pid = display.property32(window, pidAtom, XCB_ATOM_CARDINAL);
        if (!pid.isEmpty() && processIds.contains(qint64(pid.first()))) {
            target = window;
            break;
        }
    }
    if (display.timedOut())
        return Shell::Activation::TimedOut;
    if (target == XCB_NONE)
        return Shell::Activation::NoWindow;

    xcb_connection_t* connection = display.connection();
    if (managed) {
        // Asked as a pager would: window managers honour that over their
        // focus-stealing prevention.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = target;
        message.type = display.atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 2;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, display.root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    } else {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection, target, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, target, XCB_CURRENT_TIME);
    }
    // A round trip: the display has taken the requests when it answers.
    free(display.reply(xcb_get_input_focus(connection).sequence));
    return display.timedOut() ? Shell::Activation::TimedOut : Shell::Activation::Raised;
}

#else

Shell::Activation activate(const QList<qint64>&, int)
{
    return Shell::Activation::NoWindow;
}

#endif

} // namespace

void Shell::setAssociations(Associations* associations)
{
    installedAssociations = associations;
}

int Shell::FindExecutable(const QString& file, const QString& directory, QString& result)
{
    if (installedAssociations)
        return installedAssociations->findExecutable(file, directory, result);
    return DesktopFindExecutable(file, directory, result);
}

int Shell::DesktopFindExecutable(const QString& file, const QString& directory, QString& result)
{
    result.clear();
    const QString document = QDir::cleanPath(
        QDir(directory.isEmpty() ? QDir::currentPath() : directory).absoluteFilePath(file));
    if (!QFileInfo(document).isFile())
        return FileNotFound;

    const QList<ExecWord> words = splitExecLine(execLineForType(mimeTypesOf(document)));
    if (words.isEmpty())
        return NoAssociation;
    const QString program = resolveProgram(words.first().text);
    if (program.isEmpty() || !QFileInfo(program).isExecutable())
        return NoAssociation;

    // The old call gave the program and, where the association passes the
    // document, the document itself or a quoted "%1"; other words are not
    // part of its answer.
    result = program;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (!isDocumentCode(words.at(i).text))
            continue;
        result += words.at(i).quoted ? QStringLiteral(" \"%1\"") : QLatin1Char(' ') + document;
        break;
    }
    return Found;
}

Shell::BrowserFamily Shell::browserFamily(const QString& program)
{
    const QStringList names = programNames(program);
    for (QString name : names) {
        if (name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
            name.chop(4);
        if (ProgramLocator::chromiumFamily().contains(name, Qt::CaseInsensitive))
            return BrowserFamily::Chromium;
        if (ProgramLocator::firefoxFamily().contains(name, Qt::CaseInsensitive))
            return BrowserFamily::Firefox;
    }
    return BrowserFamily::Other;
}

QStringList Shell::SplitCommandLine(const QString& commandLine)
{
    return QProcess::splitCommand(commandLine);
}

qint64 Shell::StartProgram(const QString& commandLine, VbError* error)
{
    QStringList words = SplitCommandLine(commandLine);
    const QString program = words.isEmpty() ? QString() : words.takeFirst();
    return StartProgram(program, words, error);
}

qint64 Shell::StartProgram(const QString& program, const QStringList& arguments, VbError* error)
{
    const QString path = program.isEmpty() ? QString() : resolveProgram(program);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        if (error)
            *error = VbErrors::make(VbErrors::FileNotFound);
        return 0;
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    // A browser talks a lot on its standard channels; none of it is ours.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return 0;
    forgetEndedProcesses();
    startedProcesses().append({pid, startTimeOf(pid)});
    return pid;
}

QStringList Shell::browserFlags(const QString& program)
{
    QStringList flags = ProgramLocator::environmentBrowserFlags();
    if (::geteuid() == 0 && browserFamily(program) == BrowserFamily::Chromium &&
        !flags.contains(QStringLiteral("--no-sandbox")))
        flags.append(QStringLiteral("--no-sandbox"));
    return flags;
}

QStringList Shell::addressArguments(const QString& program, const QString& address)
{
    QStringList arguments;
    // Chromium takes every word after "--" as an address, even one that
    // begins like a switch; other browsers have no such marker.
    if (browserFamily(program) == BrowserFamily::Chromium)
        arguments.append(QStringLiteral("--"));
    // An address from a show or a bookmark that begins with "-" would be
    // read as an option (an open debugging port, another profile, ...). No
    // web address begins so, so it is a file name: relative to the folder
    // the program runs in, written as the absolute path.
    QString argument = address;
    qsizetype first = 0;
    while (first < address.size() && address.at(first).isSpace())
        ++first;
    if (first < address.size() && address.at(first) == QLatin1Char('-'))
        argument = QDir::currentPath() + QLatin1Char('/') + address;
    arguments.append(argument);
    return arguments;
}

qint64 Shell::StartBrowserProgram(const QString& program, const QStringList& arguments,
                                  VbError* error)
{
    return StartProgram(program, browserFlags(program) + arguments, error);
}

QList<qint64> Shell::ProcessesOf(const QString& program)
{
    QList<qint64> found;
    const QStringList names = programNames(program);
    if (names.isEmpty())
        return found;
    const uint user = ::geteuid();
    const qint64 self = ::getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber || pid == self)
            continue;
        if (QFileInfo(QStringLiteral("/proc/") + entry).ownerId() != user)
            continue;
        if (startTimeOf(pid) >= 0 && processMatches(pid, names))
            found.append(pid);
    }
    return found;
}

bool Shell::IsRunning(const QString& program)
{
    return !ProcessesOf(program).isEmpty();
}

int Shell::EndStartedProcesses(const QString& program)
{
    forgetEndedProcesses();
    const QStringList names = programNames(program);
    int ended = 0;
    QList<StartedProcess>& started = startedProcesses();
    started.removeIf([&](const StartedProcess& p) {
        if (!processMatches(p.pid, names))
            return false;
        if (::kill(pid_t(p.pid), SIGTERM) == 0)
            ++ended;
        return true;
    });
    return ended;
}

Shell::Activation Shell::ActivateWindowsOf(const QList<qint64>& processIds, int timeoutMs)
{
    if (processIds.isEmpty())
        return Activation::NoWindow;
    return activate(processIds, timeoutMs);
}
