// SPDX-License-Identifier: GPL-3.0-or-later
// The web show's pages and audit report, word for word, and the dialog that makes them through
// its controls: checks, pages written, the failures, the folder picker and the audit window.
#include "browser/modURL.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "webshow/JsText.h"
#include "webshow/WebShowAudit.h"
#include "webshow/frmAudit.h"
#include "webshow/frmWebShow.h"
#include "webshow/modTemplate.h"
#include "TestFiles.h"
#include "UnwritableFile.h"
#include "WidgetKit.h"

#include <QtWidgets>
#include <QTest>

namespace {

// A stand-in for the control template: its text must follow the arrays unchanged, and its
// body tag is what auto start rewrites.
const QByteArray SmallNav = "// the script goes on\r\n</script>\r\n</head>\r\n"
                            "<body onload=\"start_man()\">\r\n</body>\r\n</html>\r\n";
const QDateTime Generated(QDate(2024, 6, 11), QTime(14, 3, 59));
const QRegularExpression Identifier(QStringLiteral(" Do not modify ID ([0-9A-F]{8}) -->"));

/// A show of the addresses; "skip:" before one marks it skipped.
colURLs showOf(const QStringList& hrefs, const QString& sound = QString())
{
    colURLs show;
    for (const QString& href : hrefs) {
        const bool skip = href.startsWith(QLatin1String("skip:"));
        show.Add(skip ? href.mid(5) : href, sound, 0, skip);
    }
    return show;
}

QString buildPage(const colURLs& show, bool autoStart = false, const QDateTime& at = Generated)
{
    qint16 longest = 0;
    return modTemplate::BuildShowPage(QStringLiteral("T"), 5, false, show, QString(), QString(),
                                      autoStart, longest, at);
}

QString text(QWidget& window, const char* name)
{
    return control<QLineEdit>(window, name)->text();
}

void setText(QWidget& window, const char* name, const QString& value)
{
    control<QLineEdit>(window, name)->setText(value);
}

/// Notes, for every box, whether the busy pointer was still up.
class PointerAtBox final : public Prompts::Backend
{
public:
    PointerAtBox() : m_next(Prompts::backend()) { Prompts::setBackend(this); }
    ~PointerAtBox() override { Prompts::setBackend(m_next); }
    int show(const Prompts::Request& request) override
    {
        busy.append(QApplication::overrideCursor() != nullptr);
        return m_next->show(request);
    }
    QList<bool> busy;

private:
    Prompts::Backend* m_next;
};

} // namespace

class tst_webshow : public QObject
{
    Q_OBJECT

    QString path(const QString& name) const { return m_folder->filePath(name); }
    /// The dialog of a three-slide show "Tour" with the shipped templates, writing into a fresh
    /// folder.
    std::unique_ptr<frmWebShow> open(bool useOLE = false)
    {
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        auto window = std::make_unique<frmWebShow>(m_show, m_options, useOLE);
        window->show();
        setText(*window, "txtPath", m_out->path());
        return window;
    }

    QTemporaryDir m_config;
    /// The program folder, its control template a stand-in.
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    COptions m_options;
    colURLs m_show;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QStandardPaths::setTestModeEnabled(true);
        m_options.ReloadInterval = 15;
        m_show.TrayFilename = QStringLiteral("/shows/Tour.txt");
        m_show.Add(QStringLiteral("http://example.com/a.html"), QString(), 0, false);
        m_show.Add(QStringLiteral("/home/me/b.jpg"), QStringLiteral("/snd/b.wav"), 0, false);
        m_show.Add(QStringLiteral("www.example.org"), QString(), 0, true);
    }
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_out = std::make_unique<QTemporaryDir>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        modMain::SetProgramFolder(m_folder->path());
        writeFile(path(QStringLiteral("NAV.txt")), SmallNav);
    }
    void cleanup()
    {
        m_prompts.reset();
        modMain::ResetProgramState();
        QLocale::setDefault(QLocale::c());
    }

    void smallShowPage()
    {
        colURLs show;
        // A show's own text stays in its literals and elements.
        show.Add(QStringLiteral("www.example.com/</script>\u2028"),
                 QStringLiteral("C:\\Sounds\\bell\"\r\n.wav"), 5, false);
        show.Add(QStringLiteral("http://skipped.example/"), QStringLiteral("x.wav"), 5, true);
        show.Add(QStringLiteral("C:\\Shows\\Tour\\end.htm"), QStringLiteral("C:\\Shows\\end.wav"),
                 0, false);
        qint16 longest = 0;
        // Sounds are not relocated: they still name the local drive.
        const QString page = modTemplate::BuildShowPage(
            QStringLiteral("</title><script>alert(4)</script> \u00e9"), 10, true, show,
            QStringLiteral("c:\\shows\\"), QStringLiteral("https://tour.example/"), false, longest,
            Generated);
        const QString expected =
            QStringLiteral(
                "<!-- Auto generated by Pagewheel -->\r\n"
                "<!-- 06-11-24 14:03 Do not modify ID <ID> -->\r\n<html>\r\n<head>\r\n"
                "<title>&lt;/title&gt;&lt;script&gt;alert(4)&lt;/script&gt; &#233;</title>\r\n"
                "</head>\r\n"
                "<script LANGUAGE=\"JavaScript\">\r\n<!-- Hide\r\n"
                "/****** GLOBALS ********/\r\nvar nSlide =-1;\r\nvar nTimer = null;\r\n"
                "var MAX_SLIDE = 3;\r\nvar SEC_PAUSE = 10;\r\nvar bUseSnd = true;\r\n"
                "var slides = new Array(MAX_SLIDE);\r\nvar sounds = new Array(MAX_SLIDE);\r\n"
                "var newone = null;\r\nvar bSndNowOn = false;\r\nvar sHome = \"\";\r\n\r\n"
                "function init_array() {\r\n\tslides[0] = "
                "\"http://www.example.com/\\x3C/script\\x3E\\u2028\";\r\n"
                "\tslides[1] = \"\";\r\n\tslides[2] = \"https://tour.example/Tour/end.htm\";\r\n"
                "}\r\n\r\nfunction init_sounds() {\r\n\tsounds[0] = "
                "\"C:/Sounds/bell\\\"\\r\\n.wav\";\r\n"
                "\tsounds[1] = \"\";\r\n\tsounds[2] = \"C:/Shows/end.wav\";\r\n}\r\n\r\n") +
            QString::fromLatin1(SmallNav);
        QCOMPARE(QString(page).replace(Identifier, QStringLiteral(" Do not modify ID <ID> -->")),
                 expected);
        QCOMPARE(longest, qint16(33));
        QVERIFY(m_prompts->shown().isEmpty());

        // The identifier follows the slides, not the time.
        const auto id = [](const char* href, int days) {
            return Identifier.match(buildPage(showOf({href}), false, Generated.addDays(days)))
                .captured(1);
        };
        QCOMPARE(id("http://a/", 0), id("http://a/", 3));
        QVERIFY(!id("http://a/", 0).isEmpty() && id("http://a/", 0) != id("http://b/", 0));
    }

    void publishAddress_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("published");
        QTest::addColumn<int>("length");
        const auto row = [](const char* name, const char* href, const char* local, const char* web,
                            const char* published, int length) {
            QTest::newRow(name) << QString::fromUtf8(href) << QString::fromUtf8(local)
                                << QString::fromUtf8(web) << QString::fromUtf8(published) << length;
        };
        row("www. gets http://", "www.example.net/x", "", "", "http://www.example.net/x", 24);
        row("bare .com host", "example.com", "", "", "http://example.com", 18);
        row("bare .edu host", "mit.edu", "", "", "http://mit.edu", 14);
        row("capital ending stays", "EXAMPLE.COM", "", "", "EXAMPLE.COM", 11);
        row("other ending stays", "example.net", "", "", "example.net", 11);
        row("a page is no host", "pages/index.htm", "", "", "pages/index.htm", 15);
        row("file scheme kept", "file:///srv/show/a.edu", "", "", "file:///srv/show/a.edu", 22);
        row("four characters as they are", "a\\bc", "a", "z", "a\\bc", 0);
        row("five characters count", "a\\b.c", "", "", "a/b.c", 5);
        row("local path in any letter case", "C:\\Shows\\Spring\\a.htm", "c:\\SHOWS\\",
            "http://tour.example/", "http://tour.example/Spring/a.htm", 21);
        row("other separator", "C:/Shows/Spring/a.htm", "C:\\Shows", "/web", "/web/Spring/a.htm",
            21);
        row("every occurrence", "/x/a/x/b.jpg", "/x/", "y/", "y/ay/b.jpg", 12);
        row("empty web path: relative", "D:\\Web\\Show\\pic.jpg", "D:\\Web\\Show\\", "", "pic.jpg",
            19);
        row("web path backslashes turn", "C:\\a\\b.htm", "C:\\a", "\\\\server\\share",
            "//server/share/b.htm", 10);
        row("dot looked for before relocation", "/l/host.com", "/l/", "", "host.com", 11);
        row("z is a letter too", "C:\\Zoo\\a.htm", "c:\\zoo\\", "w/", "w/a.htm", 12);
        row("[ is no capital {", "/a{b/x.htm", "/a[b/", "w/", "/a{b/x.htm", 10);
    }
    void publishAddress()
    {
        QFETCH(QString, href);
        QFETCH(QString, local);
        QFETCH(QString, web);
        qsizetype measured = -1;
        QTEST(modTemplate::PublishAddress(href, local, web, &measured), "published");
        QTEST(int(measured), "length");
    }

    void longestAddressAndStartPageWidth()
    {
        // The longest wins and short ones do not count; www. counts with http://; raised, never
        // lowered; skipped slides do not count; held in 16 bits.
        const auto longest = [](const QStringList& hrefs, int start) {
            qint16 measured = qint16(start);
            modTemplate::BuildSlideArrays(showOf(hrefs), QString(), QString(), measured);
            return int(measured);
        };
        QCOMPARE(longest({"abcd", "http://a.b/cdefgh", "ab.cd"}, 0), 17);
        QCOMPARE(longest({"www.ab.cd"}, 0), 16);
        QCOMPARE(longest({"http://a/"}, 40), 40);
        QCOMPARE(longest({"skip:http://very.long/address/"}, 0), 0);
        QCOMPARE(longest({"http://x/" + QString(40000, u'a')}, 0), 32767);
        QStringList widths;
        for (const int chars : {19, 20, 30, 39, 40, 60, 80, 99, 100, 32767})
            widths << modTemplate::StartPageWidth(qint16(chars));
        QCOMPARE(widths, QString("240 290 370 370 400 425 430 430 450 450").split(u' '));
    }

    void autoStart()
    {
        const QString tail = QStringLiteral("()\" once more, and ONLOAD=\"start_man()\" -->\r\n");
        const QString body = "<body onload=\"start_man()\">\r\n<!-- onload=\"start_man" + tail;
        writeFile(path(QStringLiteral("NAV.txt")), body.toLatin1());
        // An address holding the body text is no part of the template.
        const colURLs show = showOf({QStringLiteral("http://a/?onload=\"start_man()\"")});
        QVERIFY(buildPage(show).endsWith(body));
        const QString automatic = buildPage(show, true);
        QVERIFY(automatic.endsWith("<body onload=\"start_auto()\">\r\n<!-- onload=\"start_auto" +
                                   tail));
        QVERIFY(automatic.contains(
            QStringLiteral("slides[0] = \"http://a/?onload=\\\"start_man()\\\"\";")));
    }

    void templates()
    {
        // A page without its script would play nothing: there is none.
        QFile::remove(path(QStringLiteral("NAV.txt")));
        QVERIFY(buildPage(showOf({QStringLiteral("http://a/")})).isEmpty());
        QCOMPARE(m_prompts->texts().value(0),
                 "Error reading template file: " + modMain::AppFolder +
                     "NAV.txt\r\nError: 53\r\nDescription: File not found");
        QVERIFY(modTemplate::BuildStartPage("W.htm", "240", QString()).isEmpty());
        QVERIFY(modTemplate::BuildStartPage("W.htm", "240", "STRTTOUR.txt").isEmpty());
        // A start page without a template name is nothing to tell; a missing one is.
        QCOMPARE(m_prompts->texts().size(), 2);
        QVERIFY(m_prompts->texts().last().contains(QLatin1String("STRTTOUR.txt")));
        m_prompts->clear();

        // UTF-8 with a byte-order mark, CR LF kept; else Windows-1252.
        for (const auto& [bytes, read] : {std::pair{"\xEF\xBB\xBF"
                                                    "a\r\nCaf\xC3\xA9\r\n",
                                                    "a\r\nCaf\u00e9\r\n"},
                                          {"Caf\xE9 \x80", "Caf\u00e9 \u20ac"}}) {
            bool ok = false;
            writeFile(path(QStringLiteral("T.txt")), bytes);
            QCOMPARE(modTemplate::ReadTemplate(QStringLiteral("T.txt"), &ok),
                     QString::fromUtf8(read));
            QVERIFY(ok);
        }

        // The start page names the show page as a reference, its width in place.
        writeFile(path(QStringLiteral("START.txt")),
                  "<a href=\"DO_NOT_ALTER_FILE\">DO_NOT_ALTER_FILE</a> w=DO_NOT_ALTER_WIDTH;\r\n"
                  "do_not_alter_file DO_NOT_ALTER_WIDTH\r\n");
        for (const auto& [showPage, reference] :
             {std::pair{"shows\\spring\\WebShow.htm", "shows/spring/WebShow.htm"},
              {"Caf\u00e9 Show.htm", "Caf%C3%A9%20Show.htm"},
              {"a\"b'c<d>e&f#g?h%i.htm", "a%22b%27c%3Cd%3Ee%26f%23g%3Fh%25i.htm"}})
            QCOMPARE(modTemplate::BuildStartPage(QString::fromUtf8(showPage), "425", "START.txt"),
                     QStringLiteral("<a href=\"%1\">%1</a> w=425;\r\ndo_not_alter_file 425\r\n")
                         .arg(QLatin1String(reference)));
        QVERIFY(m_prompts->shown().isEmpty());

        // UTF-8 and a closing line end; the emoji's pair is split between two written blocks.
        const QString text = QString(256 * 1024 - 1, u'x') + QStringLiteral("\U0001F600 Caf\u00e9");
        VbError error;
        QVERIFY(modTemplate::WritePage(path(QStringLiteral("WebShow.htm")), text, &error));
        QCOMPARE(fileBytes(path(QStringLiteral("WebShow.htm"))), (text + "\r\n").toUtf8());
        QVERIFY(!modTemplate::WritePage(path(QStringLiteral("missing/WebShow.htm")), text, &error));
        QCOMPARE(error.number, 76);
    }

    void escaping_data()
    {
        QTest::addColumn<bool>("html");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        const auto row = [](bool html, const QString& text, const char* escaped) {
            QTest::addRow("%s %s", html ? "html" : "script", escaped)
                << html << text << QString::fromLatin1(escaped);
        };
        row(false, "http://a.example/b?c=d&e=f", "\"http://a.example/b?c=d&e=f\"");
        row(false, "a\"b'c", "\"a\\\"b\\'c\"");
        row(false, "C:\\new\\x41\\u0041", "\"C:\\\\new\\\\x41\\\\u0041\"");
        row(false, "a\r\nb\u2028c\u2029", "\"a\\r\\nb\\u2028c\\u2029\"");
        row(false, "</script><script>alert(1)</script><!--",
            "\"\\x3C/script\\x3E\\x3Cscript\\x3Ealert(1)\\x3C/script\\x3E\\x3C!--\"");
        row(false, QString(QChar(0)) + QChar(0x1F) + QChar(0x7F), "\"\\x00\\x1F\\x7F\"");
        row(false, "Caf\u00e9 \U0001F600", "\"Caf\\u00E9 \\uD83D\\uDE00\"");
        row(true, "<img src=x onerror=\"alert(1)\">&amp;'",
            "&lt;img src=x onerror=&quot;alert(1)&quot;&gt;&amp;amp;&#39;");
        row(true, "a\r\nb", "a&#13;&#10;b");
        row(true, "Caf\u00e9 \U0001F600", "Caf&#233; &#128512;");
        row(true, QString(QChar(0xD800)), "&#65533;");
    }
    void escaping()
    {
        QFETCH(bool, html);
        QFETCH(QString, text);
        QTEST(html ? JsText::htmlText(text) : JsText::stringLiteral(text), "escaped");
    }

    void audit()
    {
        // Web pages, files under the relocated path, a relative one, local ones, a short
        // address and a skipped slide; web based, then local and starting by itself.
        colURLs show =
            showOf({"http://example.com/a.html", "www.example.org", "example.com", "host.de",
                    "https://site.net/x.php", "pages/page.htm", "intro.html", "C:\\pages\\pic.jpg",
                    "c:\\PAGES\\page.htm", "docs/readme.txt", "D:\\other\\y.html"});
        show.Add(QStringLiteral("/home/me/clip.mpeg"), QStringLiteral("bell.wav"), 0, false);
        show.Add(QStringLiteral("a.uk"), QString(), 0, false);
        show.Add(QStringLiteral("D:\\skip\\me.jpg"), QStringLiteral("x.wav"), 0, true);
        WebShowAudit::Settings settings{"Tour", "StrtShow.htm", "WebShow.htm", "Spring", false,
                                        true,   "/out",         "C:\\Pages\\", "site/",  " 1 min",
                                        60};
        const QString head = "File Title: Tour\r\n\r\n------- Web Show Files --------\r\n"
                             "Starting Web page name: StrtShow.htm\r\nShow Control page name: "
                             "WebShow.htm\r\nShow Control page title: Spring\r\n";
        const QString slides = "\r\n------- Slide Information --------\r\n";
        const QString tail =
            "\r\nNumber of web pages in show: 7\r\nNumber of referenced files in show: 5\r\n"
            "Total number of slides in show: 14\r\nPause time between slides:  1 min\r\n"
            "Approximate length of show: 840 seconds. (14. minutes)\r\n"
            "Some of the slides have sound files.\r\n";
        // Only the files still named by a path of this computer are listed, once each, as the
        // pages will name them.
        QCOMPARE(WebShowAudit::RunAudit(show, settings),
                 head + "Directory to copy web show files from: /out\r\n" + slides +
                     "Files with local paths (potential access problems): \r\nD:\\other\\y.html"
                     "\r\n/home/me/clip.mpeg" +
                     tail);
        settings.webMode = false;
        settings.autoStart = true;
        QCOMPARE(WebShowAudit::RunAudit(show, settings),
                 head +
                     "Show will start automatically from 'Start Show' button\r\n"
                     "Directory containing web show files: /out\r\n" +
                     slides + tail);

        // Ten slides' length in the locale's digits, beyond 16 and 32 bits, and none without
        // a pause.
        show = showOf(QString("http://a/1.htm ").repeated(10).trimmed().split(u' '));
        for (const auto& [pause, seconds, locale, length] :
             {std::tuple{"30 sec", qint64(123457), QLocale(QLocale::German, QLocale::Germany),
                         "Approximate length of show: 1.234.570 seconds. (20.576,2 minutes)\r\n"},
              {" 2 days", qint64(172800) * 20000, QLocale::c(),
               "Approximate length of show: 34,560,000,000 seconds. (576,000,000. minutes)\r\n"},
              {"soon", qint64(-1), QLocale::c(), ""},
              {" 0 sec", qint64(0), QLocale::c(), ""}}) {
            QLocale::setDefault(locale);
            settings.pauseText = QLatin1String(pause);
            settings.pauseSeconds = seconds;
            const QString report = WebShowAudit::RunAudit(show, settings);
            QCOMPARE(report.mid(report.indexOf(QLatin1String("Pause time"))),
                     "Pause time between slides: " + settings.pauseText + "\r\n" + length +
                         "There are no sound files in any of the slides.\r\n");
        }
        QLocale::setDefault(QLocale::c());
        for (const auto& [value, expected] :
             {std::pair{0.0, "."}, {0.75, ".8"}, {2.96, "3."}, {1234.5, "1,234.5"}})
            QCOMPARE(WebShowAudit::FormatOneDecimal(value), QLatin1String(expected));
    }

    void dialogMakesTestsAndAuditsTheShow()
    {
        // The folder as typed may be relative: the browser gets it whole.
        const QString before = QDir::currentPath();
        QDir::setCurrent(m_out->path());
        const auto back = qScopeGuard([&] {
            QDir::setCurrent(before);
            modURL::SetAutomationWindowOpener({});
        });
        auto window = open(true);
        QCOMPARE(window->windowTitle(), QStringLiteral("Make Web Show from Tour"));
        QCOMPARE(control<QComboBox>(*window, "cboReloadInterval")->currentText(), "15 sec");
        QVERIFY(!control<QPushButton>(*window, "cmdTest")->isEnabled());
        const auto relocation = [&window] {
            return control<QGroupBox>(*window, "frameReplace")->isEnabled() &&
                   control<QPushButton>(*window, "cmdBrowse1")->isEnabled();
        };
        QVERIFY(control<QRadioButton>(*window, "optShowType0")->isChecked() && !relocation());
        setText(*window, "txtPathLcl", QStringLiteral("/home/me/"));
        control<QRadioButton>(*window, "optShowType1")->click();
        QVERIFY(relocation());
        control<QRadioButton>(*window, "optShowType0")->click();
        QVERIFY(!relocation());
        QCOMPARE(text(*window, "txtPathLcl"), QStringLiteral("/home/me/"));
        // Every control speaks its name.
        QCOMPARE(unnamedControls(*window), QStringList());

        // Start page, show page, pause; each fault mended in turn shows the next.
        const QString entry = QStringLiteral("There must be an entry in this field.");
        for (const auto& [fields, message, focused] :
             {std::tuple{QStringList{"", "", ""}, entry, "txtStartFile"},
              {QStringList{"s.htm", "  ", ""}, entry, "txtShowFile"},
              {QStringList{"s.htm", "w.htm", ""}, entry, "cboReloadInterval"},
              {QStringList{"s.htm", "WebShow.htm", "7 sec"},
               QStringLiteral("Choose a setting from the pull down"), "cboReloadInterval"}}) {
            m_prompts->clear();
            setText(*window, "txtStartFile", fields[0]);
            setText(*window, "txtShowFile", fields[1]);
            control<QComboBox>(*window, "cboReloadInterval")->setEditText(fields[2]);
            click(*window, "cmdOK");
            QCOMPARE(m_prompts->texts(), QStringList{message});
            QCOMPARE(window->focusWidget()->objectName(), QLatin1String(focused));
            QVERIFY(QDir(m_out->path()).isEmpty());
            QVERIFY(!control<QPushButton>(*window, "cmdTest")->isEnabled());
        }

        // Made in a folder typed relative, then in the current one (empty) with auto start:
        // pure ASCII whatever the title, so no code page can spoil the pages.
        control<QComboBox>(*window, "cboReloadInterval")->setEditText(QStringLiteral(" 1 min"));
        setText(*window, "txtTitle", QStringLiteral("Caf\u00e9 \u2603 tour"));
        setText(*window, "txtStartFile", QStringLiteral("Go.htm"));
        QVERIFY(QDir().mkdir(QStringLiteral("pages")));
        QStringList opened, expected;
        for (const QString& folder : {QStringLiteral("pages"), QString()}) {
            m_prompts->clear();
            setText(*window, "txtPath", folder);
            control<QCheckBox>(*window, "chkAutoStart")->setChecked(folder.isEmpty());
            click(*window, "cmdOK");
            QCOMPARE(m_prompts->texts(),
                     QStringList{"The web show was created successfully.\r\n\r\nThe show "
                                 "files, Go.htm and WebShow.htm,\r\nhave been generated and can "
                                 "be found in the\r\n" +
                                 (folder.isEmpty() ? QStringLiteral("<root>") : folder) +
                                 "\r\ndirectory."});
            QVERIFY(control<QPushButton>(*window, "cmdTest")->isEnabled());
            QCOMPARE(control<QStatusBar>(*window, "pnlStatus")->currentMessage(),
                     QStringLiteral("Show was created successfully."));
            const QDir pages(m_out->filePath(folder));
            for (const char* name : {"WebShow.htm", "Go.htm"}) {
                const QByteArray bytes = fileBytes(pages.filePath(QLatin1String(name)));
                QVERIFY(bytes.endsWith("\r\n"));
                QVERIFY2(std::all_of(bytes.cbegin(), bytes.cend(),
                                     [](char c) { return uchar(c) < 0x80; }),
                         name);
            }
            QVERIFY(fileBytes(pages.filePath(QStringLiteral("Go.htm"))).contains("WebShow.htm"));
            QCOMPARE(fileBytes(pages.filePath(QStringLiteral("WebShow.htm")))
                         .contains("onload=\"start_auto()\""),
                     folder.isEmpty());
            // Test opens the start page; the failure's box names it, none once it opens.
            m_prompts->clear();
            for (const bool opens : {false, true}) {
                modURL::SetAutomationWindowOpener([&, opens](const QString& address) {
                    opened.append(address);
                    return opens ? VbError() : VbError{429, QStringLiteral("No browser")};
                });
                click(*window, "cmdTest");
            }
            expected << pages.filePath("Go.htm") << pages.filePath("Go.htm");
            QCOMPARE(m_prompts->texts().size(), 2);
            QCOMPARE(m_prompts->texts().last(),
                     "Please check the file at:\r\n" + pages.filePath("Go.htm"));
        }
        QCOMPARE(opened, expected);

        // Browse puts the chosen folder in its field.
        control<QRadioButton>(*window, "optShowType1")->click();
        QVERIFY(QDir().mkdir(QStringLiteral("site")));
        const QString chosen = m_out->filePath(QStringLiteral("site"));
        for (const auto& [button, field] :
             {std::pair{"cmdBrowse0", "txtPath"}, {"cmdBrowse1", "txtPathLcl"}}) {
            bool seen = false;
            QTimer::singleShot(0, this, [&] {
                QWidget* picker = QApplication::activeModalWidget();
                if (!picker || picker->windowTitle() != QStringLiteral("Choose Directory"))
                    return;
                seen = true;
                setText(*picker, "txtDir", chosen);
                click(*picker, "cmdOK");
            });
            click(*window, button);
            QVERIFY(seen);
            QCOMPARE(text(*window, field), chosen + '/');
        }

        // The audit window shows the report and keeps its place; each run names the show once
        // more, as the window has always done.
        click(*window, "cmdAudit");
        click(*window, "cmdAudit");
        frmAudit* audit = window->auditWindow();
        QVERIFY(audit && audit->isVisible());
        QCOMPARE(audit->windowTitle(), QStringLiteral("Audit Form - Tour - Tour"));
        const QString report = control<QPlainTextEdit>(*audit, "txtOut")->toPlainText();
        QVERIFY(report.startsWith(QStringLiteral("File Title: Tour\n")));
        QVERIFY(report.contains(QStringLiteral("Approximate length of show: 180 seconds. (3. "
                                               "minutes)\nSome of the slides have sound files.")));
        audit->move(130, 170);
        const QPoint place = audit->pos();
        audit->close();
        QTRY_VERIFY(!window->auditWindow());
        click(*window, "cmdAudit");
        QTRY_VERIFY(window->auditWindow() && window->auditWindow()->isVisible());
        QCOMPARE(window->auditWindow()->pos(), place);
    }

    void failuresKeepEarlierPages()
    {
        // A missing folder, a folder named as the show page, a start page that cannot be
        // written: each told once the pointer is back, the old start page kept.
        auto window = open();
        const QString folder = m_out->path(), missing = m_out->filePath(QStringLiteral("no/such"));
        const QString startPage = m_out->filePath(QStringLiteral("StrtShow.htm"));
        writeFile(startPage, "old start page");
        PointerAtBox pointer;
        setText(*window, "txtPath", missing);
        click(*window, "cmdOK");
        setText(*window, "txtPath", folder);
        QVERIFY(QDir(folder).mkdir(QStringLiteral("WebShow.htm")));
        click(*window, "cmdOK");
        QVERIFY(QDir(folder).rmdir(QStringLiteral("WebShow.htm")));
        {
            UnwritableFile lock(startPage);
            if (lock.holds()) // some systems let every file be written
                click(*window, "cmdOK");
        }
        const QStringList texts = m_prompts->texts();
        QCOMPARE(pointer.busy, QList<bool>(texts.size(), false));
        QCOMPARE(texts.first(), "The path or directory specified is invalid: \r\n\r\n" + missing +
                                    "\r\n\r\nCheck the path with the browse button and try again.");
        for (qsizetype i = 1; i < texts.size(); ++i)
            QVERIFY2(texts[i].startsWith("Error writing the file " + folder + '/' +
                                         (i == 1 ? "WebShow.htm" : "StrtShow.htm") +
                                         "\r\nError: ") &&
                         texts[i].contains(QStringLiteral("\r\nDescription: ")),
                     qPrintable(texts[i]));
        QVERIFY(texts.size() >= 2);
        QVERIFY(!control<QPushButton>(*window, "cmdTest")->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(fileBytes(startPage), QByteArray("old start page"));
    }

    void defaultFolder()
    {
        for (const bool writable : {false, true}) {
            // An installed program's folder: here one that cannot even be made.
            const QString program = m_out->filePath(writable ? "prog" : "file/prog");
            if (writable) {
                QVERIFY(QDir().mkpath(program));
                for (const char* name : {"NAV.txt", "STRTTOUR.txt"})
                    QVERIFY(QFile::copy(QStringLiteral(PW_APP_FOLDER "/") + QLatin1String(name),
                                        program + '/' + QLatin1String(name)));
            } else {
                writeFile(m_out->filePath(QStringLiteral("file")), "x");
            }
            modMain::SetProgramFolder(program);
            frmWebShow window(m_show, m_options, false);
            window.show();
            const QString folder = text(window, "txtPath");
            const QLabel* note = window.findChild<QLabel*>(QStringLiteral("lblFolderNote"));
            if (!writable) {
                QCOMPARE(folder,
                         QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
                QVERIFY(note && note->text().contains(QStringLiteral("your data folder")));
                continue;
            }
            // Not made until it is needed, then made rather than refused.
            QCOMPARE(folder, modMain::AppFolder + QStringLiteral("data"));
            QVERIFY(!note && !QFileInfo::exists(folder));
            click(window, "cmdOK");
            QVERIFY(QFileInfo::exists(folder + QStringLiteral("/WebShow.htm")));
        }
    }
};

QTEST_MAIN(tst_webshow)
#include "tst_webshow.moc"
