#include "frmHelp.h"

#include "WindowLayout.h"
#include "platform/HtmlNesting.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "ui/controls/TwipPlacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextBrowser>
#include <QUrl>

namespace {

// Places as the window was designed, in twips.
constexpr QRect designBrowser(120, 240, 7815, 4815);
constexpr QRect designKeys(3480, 5280, 1260, 735);
constexpr QRect designOK(0, 0, 1215, 375);
// The inner size at which the resize rules give back the designed browser.
constexpr int innerWidth = 7815 + 200;
constexpr int innerHeight = 4815 + 1000;

// The largest page or picture the browser loads; the pages are a few dozen kilobytes.
constexpr qint64 largestHelpFile = 4 * 1024 * 1024;
// The deepest nesting of tables, lists and blocks a page may have; the shipped pages
// have two, and each level more makes the layout slower by a good part.
constexpr int deepestHelpNesting = 8;

// Loads only regular files of bounded size inside the help folder: a page that names
// /dev/zero, a pipe or a link out of the folder would otherwise be read without end or
// wait for ever.
class HelpBrowser : public QTextBrowser
{
public:
    HelpBrowser(QString helpFolder, QWidget *parent)
        : QTextBrowser(parent)
        , m_helpFolder(QDir(helpFolder).canonicalPath())
    {
    }

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (url.isLocalFile() || url.scheme().isEmpty()) {
            const QFileInfo file(QFileInfo(url.toLocalFile()).canonicalFilePath());
            const bool loadable = !m_helpFolder.isEmpty() && file.filePath().startsWith(m_helpFolder + QLatin1Char('/'))
                && file.isFile() && file.size() <= largestHelpFile;
            if (type == QTextDocument::HtmlResource)
                return page(loadable ? file.filePath() : QString(), url.toLocalFile());
            // Empty rather than nothing: for nothing the document reads the file itself.
            if (!loadable)
                return QByteArray("");
        }
        return QTextBrowser::loadResource(type, name);
    }

private:
    // The page's bytes, or a page that says why they are not shown: none, or nested
    // deeper than the layout can take in a moment.
    static QByteArray page(const QString &file, const QString &shownPath)
    {
        QFile bytes(file);
        QByteArray html;
        if (!file.isEmpty() && bytes.open(QIODevice::ReadOnly))
            html = bytes.read(largestHelpFile);
        QString refusal;
        if (html.trimmed().isEmpty())
            refusal = Texts::helpPageMissing;
        else if (HtmlNesting::depth(html, deepestHelpNesting) > deepestHelpNesting)
            refusal = Texts::helpPageTooDeep.arg(deepestHelpNesting);
        else
            return html;
        return "<html><head><meta charset=\"utf-8\"></head><body dir=\"rtl\"><p>" + refusal.toHtmlEscaped().toUtf8()
            + "</p><p dir=\"ltr\">" + shownPath.toHtmlEscaped().toUtf8() + "</p></body></html>";
    }


    QString m_helpFolder;
};

} // namespace

frmHelp::frmHelp(QString programFolder, QWidget *parent)
    : QDialog(parent)
    , m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(Texts::frmHelpCaption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    wbHelp = new HelpBrowser(m_programFolder + QStringLiteral("/help"), this);
    wbHelp->setObjectName(QStringLiteral("wbHelp"));
    wbHelp->setOpenLinks(true);
    wbHelp->setOpenExternalLinks(true);
    TwipPlacement::place(wbHelp, designBrowser);

    picKeys = new QWidget(this);
    picKeys->setObjectName(QStringLiteral("picKeys"));
    TwipPlacement::place(picKeys, designKeys);
    cmdOK = new QPushButton(Texts::cmdOKHelp, picKeys);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAutoDefault(false);
    TwipPlacement::place(cmdOK, designOK);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    resize(Twips::toPixels(innerWidth, logicalDpiX()), Twips::toPixels(innerHeight, logicalDpiY()));
}

frmHelp::~frmHelp() = default;

QString frmHelp::HelpFilePath(const QString &programFolder, const QString &relativePath)
{
    QString relative = relativePath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(programFolder + QLatin1Char('/') + relative);
}

void frmHelp::OpenHelpFile(const QString &relativePath)
{
    wbHelp->setSource(QUrl::fromLocalFile(HelpFilePath(m_programFolder, relativePath)));
}

void frmHelp::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmHelp::Form_Resize()
{
    const QSize inner = TwipPlacement::size(this);
    const WindowLayout::Placement now{TwipPlacement::geometry(wbHelp), TwipPlacement::geometry(picKeys)};
    const WindowLayout::Placement next = WindowLayout::helpWindow(now, inner.width(), inner.height());
    if (next.body != now.body)
        TwipPlacement::place(wbHelp, next.body);
    if (next.keys != now.keys)
        TwipPlacement::place(picKeys, next.keys);
}
