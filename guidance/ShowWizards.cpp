// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/ShowWizards.h"

#include "guidance/WizardHost.h"
#include "guidance/cWizard.h"
#include "guidance/frmWizMain.h"
#include "platform/Prompts.h"
#include "webshow/frmWebShow.h"

#include <QList>

namespace ShowWizards {

namespace {

const QString CrLf = QStringLiteral("\r\n");

COptions* g_options = nullptr;
colURLs* g_show = nullptr;
WizardHost* g_host = nullptr;

/// The screens a wizard went through, so Back returns to the one before.
class Steps
{
public:
    explicit Steps(int first) : m_current(first) {}
    int current() const { return m_current; }
    void forward(int next)
    {
        m_history.append(m_current);
        m_current = next;
    }
    /// False when there is no screen before: Back leaves the wizard.
    bool back()
    {
        if (m_history.isEmpty())
            return false;
        m_current = m_history.takeLast();
        return true;
    }

private:
    int m_current;
    QList<int> m_history;
};

/// A yes/no screen: the next step for each answer, and the answer kept
/// in value when one is given.
qint16 yesNo(const QString& question, Steps& steps, int yes, int no, bool* value = nullptr)
{
    const qint16 answer = gWizard.do_YesNo(question);
    if (answer == Prompts::vbYes || answer == Prompts::vbNo) {
        if (value)
            *value = answer == Prompts::vbYes;
        steps.forward(answer == Prompts::vbYes ? yes : no);
    }
    return answer;
}

/// An information or input screen's button: the next step on Next.
qint16 onward(qint16 command, Steps& steps, int next)
{
    if (command == cWizard::CommandNext) {
        steps.forward(next);
        return 0;
    }
    return command == cWizard::CommandBack ? CodeBack : CodeDone;
}

/// The name after the last folder separator.
QString fileNameOf(const QString& path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

} // namespace

qint16 AskWhereRun()
{
    gWizard.bBackOn = false;
    gWizard.do_1or2(QStringLiteral("Where will this show be run from?"),
                    QStringLiteral("by me on this computer"),
                    QStringLiteral("by others on the Web"));
    return gWizard.nCommand;
}

qint16 AskSingleFolder()
{
    gWizard.do_1or2(QStringLiteral("Are the files for this ") +
                        QStringLiteral("show in a single directory."),
                    QStringLiteral("Yes"), QStringLiteral("No"));
    return gWizard.nCommand;
}

qint16 RunWizards(COptions& options, colURLs& show, WizardHost& host)
{
    g_options = &options;
    g_show = &show;
    g_host = &host;
    gWizard.owner = host.hostWindow();
    gWizard.sTitle = QStringLiteral("New Show Wizard");
    gWizard.nOption = 0;
    for (;;) {
        if (AskWhereRun() != cWizard::CommandNext)
            return CodeDone;
        if (gWizard.nOption == 2) {
            const qint16 code = WebShowWizard();
            if (code == CodeBack)
                continue;
            if (code != CodeNewShow)
                return code;
        }
        const qint16 code = NewShowWizard();
        if (code != CodeBack)
            return code;
    }
}

qint16 NewShowWizard()
{
    enum
    {
        AllLocal,
        SingleFolder,
        FromFolder,
        Bookmarks,
        FromBookmarks,
        Manual,
        FromScratch,
        NotHandled
    };
    Steps steps(AllLocal);
    for (;;) {
        qint16 answer = 0;
        switch (steps.current()) {
        case AllLocal:
            answer = yesNo(QStringLiteral("Are all slides for this show made up of image files, "
                                          "web pages or documents on this computer?"),
                           steps, SingleFolder, Bookmarks);
            break;
        case SingleFolder: {
            // The choice is read once the screen has closed.
            const qint16 command = AskSingleFolder();
            answer = onward(command, steps, gWizard.nOption == 1 ? FromFolder : Bookmarks);
            break;
        }
        case Bookmarks:
            answer = yesNo(QStringLiteral("Will you be importing from a HTML bookmark file."),
                           steps, FromBookmarks, Manual);
            break;
        case Manual:
            answer = yesNo(QStringLiteral("Will you making a show manually from scratch."), steps,
                           FromScratch, NotHandled);
            break;
        default: {
            const int step = steps.current();
            QString text;
            if (step == FromFolder)
                text = QStringLiteral("In the next screen you can select the directory to make the "
                                      "show from.") +
                       CrLf +
                       QStringLiteral("(You can access this directly from File->New->Make Show "
                                      "from Directory menu.)");
            else if (step == FromBookmarks)
                text = QStringLiteral("In the next screen you can select a bookmark file to "
                                      "import. ") +
                       CrLf +
                       QStringLiteral("(You can access this directly from File->Import and "
                                      "Export->Import Bookmark.)");
            else if (step == FromScratch)
                text = QStringLiteral("In the next screen the show editor will let you create a "
                                      "new show one slide at a time. ") +
                       CrLf +
                       QStringLiteral("(You can access this directly from File->New->New Show)");
            else
                text = QStringLiteral("Your requirements can not be handled by this wizard. "
                                      "Returning to the main screen.");
            answer = gWizard.do_Inform(text);
            if (answer == cWizard::CommandBack) {
                answer = CodeBack;
                break;
            }
            if (answer != cWizard::CommandNext)
                return CodeDone;
            if (step == NotHandled)
                return CodeNotHandled;
            if (step == FromFolder)
                g_host->newShowFromDirectory();
            else if (step == FromBookmarks)
                g_host->importBookmarks();
            else
                g_host->newBlankShow();
            return CodeDone;
        }
        }
        if (answer == CodeBack && !steps.back())
            return CodeBack;
        if (answer == CodeDone)
            return CodeDone;
    }
}

qint16 WebShowWizard()
{
    enum
    {
        FromShow,
        OnlyFromShows,
        CreateNew,
        Posting,
        LocalPaths,
        MustMove,
        ChangePaths,
        Relocate,
        StartPage,
        Folder,
        CopyFiles,
        AutoStart,
        UseSound,
        FillIn
    };
    bool web = false;
    bool autoStart = false;
    bool useSound = false;
    QString localPath;
    QString webPath;
    QString startPage;
    QString folder;

    auto input = [](const QString& question, const QString& field, const QString& label,
                    bool dirOnly) {
        gWizard.sFld1 = field;
        gWizard.bBrowseOn = true;
        gWizard.bBrowseDirOnly = dirOnly;
        gWizard.bFld2On = false;
        return gWizard.do_Input(question, label, QString());
    };

    Steps steps(FromShow);
    for (;;) {
        qint16 answer = 0;
        switch (steps.current()) {
        case FromShow:
            answer = gWizard.do_YesNo(
                QStringLiteral("Will you be making a web show from an existing slide show."));
            if (answer == Prompts::vbNo) {
                steps.forward(OnlyFromShows);
            } else if (answer == Prompts::vbYes) {
                // The chooser opens the show to publish; it is no screen to go back to.
                frmWizMain chooser(g_host->hostWindow());
                chooser.setOptions(*g_options);
                chooser.setShow(*g_show);
                chooser.setHost(g_host);
                chooser.setWithinWizard(true);
                chooser.exec();
                steps.forward(Posting);
            }
            break;
        case OnlyFromShows:
            answer = onward(gWizard.do_Inform(
                                QStringLiteral("You can only make web shows from existing shows.")),
                            steps, CreateNew);
            break;
        case CreateNew:
            answer = gWizard.do_YesNo(
                QStringLiteral("Do you want to create a new show now with the new show wizard?"));
            if (answer == Prompts::vbYes)
                return CodeNewShow;
            if (answer == Prompts::vbNo)
                return CodeDone;
            break;
        case Posting:
            answer = yesNo(QStringLiteral("Will you be posting this show on the web."), steps,
                           LocalPaths, StartPage, &web);
            break;
        case LocalPaths:
            answer = yesNo(QStringLiteral("Are there slides in this show that are referenced with "
                                          "a Windows file path?") +
                               CrLf + QStringLiteral("(i.e. C:\\mydir\\myimage.jpg)"),
                           steps, MustMove, StartPage);
            break;
        case MustMove:
            answer = onward(
                gWizard.do_Inform(
                    QStringLiteral("Web based shows cannot contain references to files in local "
                                   "directories.") +
                    CrLf +
                    QStringLiteral("These files must be moved to a web accessible directory and "
                                   "the reference to these files must be changed in the web "
                                   "show.")),
                steps, ChangePaths);
            break;
        case ChangePaths:
            answer =
                yesNo(QStringLiteral("Are there slides in your show with local paths you would "
                                     "like to now change?"),
                      steps, Relocate, StartPage);
            break;
        case Relocate:
            gWizard.sFld1 = localPath;
            gWizard.sFld2 = webPath;
            gWizard.bBrowseOn = true;
            gWizard.bBrowseDirOnly = true;
            gWizard.bFld2On = true;
            answer = gWizard.do_Input(
                QStringLiteral("Enter the name of the current show path in the top field and the "
                               "new web based path in the bottom field."),
                QStringLiteral("Replace"), QStringLiteral("with"));
            if (answer == cWizard::CommandNext) {
                localPath = gWizard.sFld1;
                webPath = gWizard.sFld2;
            }
            answer = onward(answer, steps, StartPage);
            break;
        case StartPage:
            answer =
                input(QStringLiteral("What is the name of the web page that starts the web "
                                     "show?"),
                      QStringLiteral("StrtShow.htm"), QStringLiteral("Starting Web page"), false);
            if (answer == cWizard::CommandNext)
                startPage = fileNameOf(gWizard.sFld1);
            answer = onward(answer, steps, Folder);
            break;
        case Folder:
            answer = input(QStringLiteral("What is the name of the local directory where the show "
                                          "files should be created."),
                           localPath.isEmpty() ? frmWebShow::DefaultFolder() : localPath,
                           QStringLiteral("Local Directory to place Web Show Pages"), true);
            if (answer == cWizard::CommandNext)
                folder = gWizard.sFld1;
            answer = onward(answer, steps, web ? CopyFiles : AutoStart);
            break;
        case CopyFiles:
            answer = onward(gWizard.do_Inform(QStringLiteral(
                                "When done, you must copy the two web show pages and all the "
                                "referenced files to the web accessible directories.")),
                            steps, AutoStart);
            break;
        case AutoStart:
            answer = yesNo(QStringLiteral("Do you want the show to begin automatically when "
                                          "started from the start page?"),
                           steps, UseSound, UseSound, &autoStart);
            break;
        case UseSound:
            answer = yesNo(QStringLiteral("Do you want references to sound files in your web "
                                          "show?"),
                           steps, FillIn, FillIn, &useSound);
            break;
        case FillIn: {
            answer = gWizard.do_Inform(
                QStringLiteral("The Web Show form will now be filled in with your show options.") +
                CrLf +
                QStringLiteral("Verify your choices and press 'Make Show' to create the web show "
                               "pages."));
            if (answer != cWizard::CommandNext) {
                answer = answer == cWizard::CommandBack ? CodeBack : CodeDone;
                break;
            }
            auto* dialog =
                new frmWebShow(*g_show, *g_options, g_host->useOLE(), g_host->hostWindow());
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->fillIn({web, localPath, webPath, startPage, folder, autoStart, useSound});
            dialog->show();
            return CodeDone;
        }
        }
        if (answer == CodeBack && !steps.back())
            return CodeBack;
        if (answer == CodeDone)
            return CodeDone;
    }
}

} // namespace ShowWizards
