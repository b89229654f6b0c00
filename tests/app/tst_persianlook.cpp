// The program's look as a Persian user meets it: whole words in the menus and on the
// keys, Qt's own dialogs and menus in Persian. Keys go to the widget that has the focus.
#include "app/PersianLook.h"
#include "app/mdlMain.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/SearchPanel.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using mdlMain::Program;

class tst_PersianLook : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<Program> m_program;
    frmMain *m_main = nullptr;

    static QWidget *focus()
    {
        QWidget *widget = QApplication::focusWidget();
        if (!widget)
            qFatal("no widget has the focus");
        return widget;
    }

private slots:
    void initTestCase()
    {
        // As main() does before any window is made.
        PersianLook::apply();
        writeCatalogue(m_dir.path(), {record("Beep", "Private Declare Function Beep Lib \"kernel32\" () As Long", "kernel32")});
        m_program = std::make_unique<Program>(mdlMain::Environment{m_dir.path(), m_dir.filePath("lock"), &m_prompter});
        QCOMPARE(m_program->Main(QString()), Program::Road::MainWindow);
        m_main = m_program->mainWindow();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        QVERIFY(QApplication::focusWidget());
    }

    // The fault: the underlined letter was drawn on its own, so "&فايل" and every other
    // title showed disjoined letters. Whole words now, underlines while Alt is down.
    void accessKeyUnderlinesBreakPersianWords()
    {
        QMenuBar *bar = m_main->menuBar();
        const QImage plain = bar->grab().toImage();
        QTest::keyPress(focus(), Qt::Key_Alt);
        QCoreApplication::processEvents();
        const QImage held = bar->grab().toImage();
        QTest::keyRelease(focus(), Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::processEvents();
        QVERIFY2(held != plain, "Alt held shows the access keys");
        QVERIFY2(bar->grab().toImage() == plain, "Alt let go hides them again");
    }

    void accessKeysStillWork_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("letter");
        QTest::newRow("File menu") << "mnuFile" << 0x0641;
        QTest::newRow("View menu") << "mnuView" << 0x0646;
        QTest::newRow("Function menu") << "mnuFunction" << 0x062A;
        QTest::newRow("search key") << "cmdSearchBar" << 0x062C;
    }

    void accessKeysStillWork()
    {
        QFETCH(QString, control);
        QFETCH(int, letter);
        QTest::sendKeyEvent(QTest::Click, focus(), Qt::Key(letter), QString(QChar(letter)), Qt::AltModifier);
        if (auto *menu = m_main->findChild<QMenu *>(control)) {
            QTRY_COMPARE(QApplication::activePopupWidget(), menu);
            QTest::keyClick(menu, Qt::Key_Escape);
            QTRY_VERIFY(!QApplication::activePopupWidget());
        } else {
            // The search key shows the search panel.
            QTRY_VERIFY(m_main->picSearch->isVisible());
        }
    }

    // The fault: Qt's own texts (file dialog, message-box buttons, the text boxes'
    // context menu) stayed English.
    void qtOwnTextsStayedEnglish_data()
    {
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("message-box button") << QByteArray("QPlatformTheme") << QByteArray("Cancel");
        QTest::newRow("text box menu") << QByteArray("QWidgetTextControl") << QByteArray("&Copy");
        QTest::newRow("select all") << QByteArray("QWidgetTextControl") << QByteArray("Select All");
        QTest::newRow("file dialog") << QByteArray("QFileDialog") << QByteArray("Look in:");
    }

    void qtOwnTextsStayedEnglish()
    {
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, text);
        const QString shown = QCoreApplication::translate(context.constData(), text.constData());
        QVERIFY2(shown != QLatin1String(text) && shown.isRightToLeft(), qPrintable(shown));
    }

    // The declaration box reads left to right; its context menu took that direction.
    void codeBoxContextMenuLeftToRight()
    {
        QWidget *box = m_main->txtFunction->viewport();
        // Through the window, as the platform delivers a click: the context menu comes of it.
        QTest::mouseClick(m_main->windowHandle(), Qt::RightButton, {}, box->mapTo(m_main, box->rect().center()));
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        auto *menu = static_cast<QMenu *>(QApplication::activePopupWidget());
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts << action->text();
        menu->close();
        QVERIFY(menu->isRightToLeft());
        QVERIFY2(texts.join(QLatin1Char(' ')).trimmed().isRightToLeft(), qPrintable(texts.join(QLatin1Char('|'))));
    }

    void qtTranslationsFolder_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("Qt's own") << QByteArray("qt") << true;
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray("") << false;
        QTest::newRow("not a catalogue") << QByteArray("<html>not a catalogue</html>") << false;
    }

    void qtTranslationsFolder()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, loaded);
        QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        QTemporaryDir own;
        if (content != "qt") {
            folder = own.path();
            QFile file(own.filePath("qtbase_fa.qm"));
            if (!content.isNull())
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        QCOMPARE(PersianLook::loadQtTranslations(folder), loaded);
    }
};

QTEST_MAIN(tst_PersianLook)
#include "tst_persianlook.moc"
