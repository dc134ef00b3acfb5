// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Help.h"

#include "platform/HelpTopics.h"
#include "platform/HelpWindow.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

const char* const ContextProperty = "HelpContextID";
const char* const HelpFileProperty = "HelpFile";
const QString FilterName = QStringLiteral("HelpKeyFilter");

QPointer<HelpWindow>& theWindow()
{
    static QPointer<HelpWindow> window;
    return window;
}

/// F1 inside the watched widget opens the topic its properties name.
class HelpKeyFilter final : public QObject
{
public:
    explicit HelpKeyFilter(QObject* parent) : QObject(parent) { setObjectName(FilterName); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        // Claiming the key first keeps a shortcut of another window from
        // taking it; the key press that follows opens the topic.
        event->accept();
        if (type == QEvent::KeyPress)
            Help::ShowTopic(watched->property(HelpFileProperty).toString(),
                            watched->property(ContextProperty).toInt());
        return true;
    }
};

/// The help window with the map of the help file's folder, or nullptr
/// after telling the user that the pages are missing.
HelpWindow* windowFor(const QString& helpFile)
{
    Help::Catalog catalog;
    QString error;
    if (!Help::readCatalog(Help::pagesFolder(helpFile), &catalog, &error)) {
        Prompts::MsgBox(QStringLiteral("The help pages of ") + Prompts::applicationTitle() +
                            QStringLiteral(" cannot be found.\r\n") + error +
                            QStringLiteral("\r\nInstall the program again to restore them."),
                        Prompts::vbOKOnly + Prompts::vbExclamation);
        return nullptr;
    }
    QPointer<HelpWindow>& window = theWindow();
    if (!window) {
        window = new HelpWindow;
        // The help window ends with the program, not with a window of it.
        if (QCoreApplication::instance())
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window,
                             &QObject::deleteLater);
    }
    window->setCatalog(catalog);
    return window;
}

} // namespace

const Help::Topic* Help::Catalog::find(int context) const
{
    for (const Topic& topic : topics) {
        if (topic.context == context)
            return &topic;
    }
    return nullptr;
}

const Help::Topic* Help::Catalog::findPage(const QString& page) const
{
    const QString name = page.section(QLatin1Char('#'), 0, 0);
    for (const Topic& topic : topics) {
        if (topic.page.compare(name, Qt::CaseInsensitive) == 0)
            return &topic;
    }
    return nullptr;
}

QString Help::pagesFolder(const QString& helpFile)
{
    const QString base = helpFile.isEmpty() ? QCoreApplication::applicationDirPath()
                                            : QFileInfo(helpFile).absolutePath();
    return QDir(base).filePath(QStringLiteral("help")) + QLatin1Char('/');
}

bool Help::readCatalog(const QString& folder, Catalog* catalog, QString* error)
{
    QString reason;
    Catalog read;
    read.folder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QFile map(read.folder + QLatin1String(MapFileName));
    if (!QFileInfo(read.folder).isDir()) {
        reason = QStringLiteral("There is no folder ") + QDir::toNativeSeparators(read.folder) +
                 QLatin1Char('.');
    } else if (!map.open(QIODevice::ReadOnly | QIODevice::Text)) {
        reason = QStringLiteral("The folder ") + QDir::toNativeSeparators(read.folder) +
                 QStringLiteral(" has no list of topics (") + QLatin1String(MapFileName) +
                 QStringLiteral(").");
    } else {
        QString book;
        const QStringList lines = QString::fromUtf8(map.readAll()).split(QLatin1Char('\n'));
        for (const QString& raw : lines) {
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (line.startsWith(QLatin1String("=="))) {
                book = line.mid(2).trimmed();
                continue;
            }
            const QStringList fields = line.split(QLatin1Char('|'));
            bool isNumber = false;
            const int context = fields.value(0).trimmed().toInt(&isNumber);
            if (fields.size() < 3 || !isNumber || context <= 0)
                continue;
            Topic topic{context, fields[1].trimmed(), fields[2].trimmed(), {}, book};
            const QStringList keywords =
                fields.value(3).split(QLatin1Char(';'), Qt::SkipEmptyParts);
            for (const QString& keyword : keywords) {
                if (!keyword.trimmed().isEmpty())
                    topic.keywords.append(keyword.trimmed());
            }
            read.topics.append(topic);
        }
        if (read.topics.isEmpty())
            reason = QStringLiteral("The list of topics ") +
                     QDir::toNativeSeparators(map.fileName()) + QStringLiteral(" names none.");
    }
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    *catalog = read;
    return true;
}

bool Help::ShowContents(const QString& helpFile)
{
    HelpWindow* window = windowFor(helpFile);
    if (!window)
        return false;
    window->showContents();
    window->present();
    return true;
}

bool Help::ShowTopic(const QString& helpFile, int context)
{
    HelpWindow* window = windowFor(helpFile);
    if (!window)
        return false;
    window->showTopic(context);
    window->present();
    return true;
}

bool Help::SearchKeyword(const QString& helpFile, const QString& keyword)
{
    HelpWindow* window = windowFor(helpFile);
    if (!window)
        return false;
    window->showIndex(keyword);
    window->present();
    return true;
}

bool Help::ShowHelpOnHelp(const QString& helpFile)
{
    return ShowTopic(helpFile, HelpTopics::UsingHelp);
}

void Help::Quit()
{
    delete theWindow().data();
}

bool Help::WinHelp(const QString& helpFile, int command, int data)
{
    switch (command) {
    case HELP_CONTEXT:
        return ShowTopic(helpFile, data);
    case HELP_QUIT:
        Quit();
        return true;
    case HELP_HELPONHELP:
        return ShowHelpOnHelp(helpFile);
    case HELP_FINDER:
        return ShowContents(helpFile);
    case HELP_KEY:
        // The old call passed the keyword by address; 0 asked for the bare index.
        return SearchKeyword(helpFile);
    default:
        return false;
    }
}

void Help::setHelpContext(QWidget* widget, const QString& helpFile, int context)
{
    if (!widget)
        return;
    widget->setProperty(ContextProperty, context);
    widget->setProperty(HelpFileProperty, helpFile);
    if (!widget->findChild<QObject*>(FilterName, Qt::FindDirectChildrenOnly))
        widget->installEventFilter(new HelpKeyFilter(widget));
}

HelpWindow* Help::window()
{
    return theWindow().data();
}
