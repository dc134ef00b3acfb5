// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>

MainWindowRig::MainWindowRig()
{
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    modMain::ResetProgramState();
    modMain::SetProgramFolder(program.path());
    QDir(program.path()).mkpath(QStringLiteral("data"));
    log = std::make_unique<LogCapture>(program.path(), true, true);
    frmMain::setProgramEnd([this] { ++programEnds; });
    m_showFile =
        writeShow(QStringLiteral("demo.txt"), {QStringLiteral("http://127.0.0.1:9/one.html"),
                                               QStringLiteral("http://127.0.0.1:9/two.html"),
                                               QStringLiteral("http://127.0.0.1:9/three.html")});
    // The options as start-up saved them: the ones the tests begin with.
    options().Copy_Object_to(modMain::SavedOptions);
}

MainWindowRig::~MainWindowRig()
{
    // Windows a test left open go without their exit sequence.
    QList<QPointer<frmMain>> mainWindows;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (auto* main = qobject_cast<frmMain*>(window))
            mainWindows.append(main);
    }
    for (const QPointer<frmMain>& main : std::as_const(mainWindows))
        delete main.data();
    frmMain::setProgramEnd({});
    log.reset();
}

COptions MainWindowRig::options() const
{
    COptions result;
    result.init_options();
    // A browser mode outside 0..6 chooses no browser at all.
    result.AutoMode = 7;
    result.DisplayTips = false;
    result.DisplayWizard = false;
    result.StartingAddress.clear();
    result.CarouselFileName = m_showFile;
    return result;
}

QString MainWindowRig::writeShow(const QString& name, const QStringList& addresses) const
{
    QByteArray bytes;
    for (const QString& address : addresses)
        bytes += "\"" + address.toUtf8() + "\",\"\",1,#FALSE#\r\n";
    return writeFile(name, bytes);
}

QString MainWindowRig::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = files.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray MainWindowRig::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QPointer<frmMain> MainWindowRig::open(const COptions& windowOptions, bool load, bool ownBrowser)
{
    auto* window = new frmMain(windowOptions, nullptr, ownBrowser ? nullptr : &browser);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (load)
        window->Form_Load();
    return window;
}

QString MainWindowRig::setting(const QString& section, const QString& key)
{
    return Registry::GetSetting(QStringLiteral("Pagewheel"), section, key);
}

void MainWindowRig::saveSetting(const QString& section, const QString& key, const QString& value)
{
    Registry::SaveSetting(QStringLiteral("Pagewheel"), section, key, value);
}
