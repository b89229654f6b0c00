#include "ui/windows/Transpart.h"
#include "ui/windows/frmAbout.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

// Records the window's opacity and enabled state at every pass of the event loop.
struct FadeRecorder
{
    explicit FadeRecorder(QWidget *window)
    {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, window] {
            if (!window)
                return;
            alphas.append(Transpart::windowAlpha(window));
            enabled.append(window->isEnabled());
        });
        timer.start(0);
    }

    QTimer timer;
    QList<int> alphas;
    QList<bool> enabled;
};

} // namespace

class tst_frmAbout : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_main;

private slots:
    void init()
    {
        m_main = std::make_unique<QWidget>();
        m_main->resize(400, 300);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<frmAbout *>(w))
                delete w;
        m_main.reset();
    }

    void setWindowAlpha_readsBackEveryByte()
    {
        QCOMPARE(Transpart::windowAlpha(m_main.get()), 255);
        for (int alpha = 0; alpha <= 255; ++alpha) {
            Transpart::SetWindowAlpha(m_main.get(), quint8(alpha));
            QCOMPARE(Transpart::windowAlpha(m_main.get()), alpha);
        }
    }

    // The headless platform has no window opacity: it is never asked (it would warn at
    // every step), and the window keeps working.
    void platformWithoutOpacity_isNotAsked()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(!Transpart::platformHasWindowOpacity());
        QTest::failOnWarning(QRegularExpression(QStringLiteral("opacity")));
        auto *about = new frmAbout(1, m_main.get());
        Transpart::FadeForm(about, true, 3);
        QCOMPARE(about->windowOpacity(), 1.0);
        QVERIFY(about->isVisible());
        QVERIFY(about->isEnabled());
        about->close();
        QVERIFY(m_main->isEnabled());
    }

    void load_fillsTheTexts()
    {
        // The count is wider than the 16 bits it was once kept in.
        auto *about = new frmAbout(70000, m_main.get());
        QCOMPARE(about->lblVersion->text(), QStringLiteral("Version : 1.3.15"));
        QCOMPARE(about->lblCount->text(), QStringLiteral("Function Count : 70000"));
        QCOMPARE(about->Label8->text(), QStringLiteral("Database Version : 2.1"));
        QCOMPARE(about->Label5->text(), QStringLiteral("Last Update : 1383/1/12"));
        QCOMPARE(about->Label2->text(), QStringLiteral("Vorn"));
        QCOMPARE(about->Label6->text(), QStringLiteral("Zentrix"));
        QCOMPARE(about->Label4->text(), QStringLiteral("®"));
        QCOMPARE(about->cmdBack->text(), QStringLiteral("&Back"));
        QCOMPARE(about->Label2->font().family(), QStringLiteral("Smudger LET"));
        QCOMPARE(about->Label6->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(about->Label4->font().family(), QStringLiteral("Arial"));
        QCOMPARE(about->lblVersion->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(about->cmdBack->font().family(), QStringLiteral("MS Sans Serif"));
        for (QLabel *author : {about->Label1, about->Label3, about->Label7, about->Label9})
            QVERIFY(!author->text().isEmpty());
        QCOMPARE(frmAbout::versionText(), QStringLiteral("Version : 1.3.15"));
        delete about;
    }

    void emptyCatalogue_countsZero()
    {
        auto *about = new frmAbout(0, m_main.get());
        QCOMPARE(about->lblCount->text(), QStringLiteral("Function Count : 0"));
        delete about;
    }

    void load_disablesTheMainWindow_unloadEnablesIt()
    {
        QPointer<frmAbout> about = new frmAbout(12, m_main.get());
        QVERIFY(!m_main->isEnabled());
        // Not the main window's child, or it would be disabled with it.
        QVERIFY(about->isWindow());
        QVERIFY(about->parentWidget() == nullptr);
        Transpart::FadeForm(about, true, 3);
        QVERIFY(about->isEnabled());
        QVERIFY(!m_main->isEnabled());
        about->close();
        QVERIFY(m_main->isEnabled());
        QTRY_VERIFY(!about); // deleted: the next opening loads it afresh
    }

    void fadeIn_stepsUpTo255_disabledWhileItRuns()
    {
        auto *about = new frmAbout(12, m_main.get());
        FadeRecorder recorder(about);
        Transpart::FadeForm(about, true, 3);
        recorder.timer.stop();
        QVERIFY(about->isVisible());
        QVERIFY(about->isEnabled());
        QCOMPARE(Transpart::windowAlpha(about), 255);
        // One pass of the event loop before each of the 86 settings.
        QVERIFY2(recorder.alphas.size() >= 80, qPrintable(QString::number(recorder.alphas.size())));
        QVERIFY(!recorder.enabled.contains(true));
        QCOMPARE(recorder.alphas.first(), 0);
        for (qsizetype i = 1; i < recorder.alphas.size(); ++i)
            QVERIFY(recorder.alphas[i] >= recorder.alphas[i - 1]);
        QVERIFY(recorder.alphas.last() >= 249);
        delete about;
    }

    void fadeOut_stepsDownToZero()
    {
        auto *about = new frmAbout(12, m_main.get());
        Transpart::FadeForm(about, true, 3);
        FadeRecorder recorder(about);
        Transpart::FadeForm(about, false, 3);
        recorder.timer.stop();
        QCOMPARE(Transpart::windowAlpha(about), 0);
        QVERIFY(about->isEnabled());
        QVERIFY(recorder.alphas.size() >= 80);
        QCOMPARE(recorder.alphas.first(), 255);
        for (qsizetype i = 1; i < recorder.alphas.size(); ++i)
            QVERIFY(recorder.alphas[i] <= recorder.alphas[i - 1]);
        QVERIFY(!recorder.enabled.contains(true));
        delete about;
    }

    void back_fadesOutThenUnloads()
    {
        QPointer<frmAbout> about = new frmAbout(12, m_main.get());
        Transpart::FadeForm(about, true, 3);
        FadeRecorder recorder(about);
        QTest::mouseClick(about->cmdBack, Qt::LeftButton);
        recorder.timer.stop();
        QVERIFY(!about || !about->isVisible());
        QVERIFY(m_main->isEnabled());
        QVERIFY(recorder.alphas.size() >= 80);
        QCOMPARE(recorder.alphas.first(), 255);
        QTRY_VERIFY(!about);
    }

    // Any other close re-enables the main window at once, without a fade.
    void frameClose_noFade()
    {
        QPointer<frmAbout> about = new frmAbout(12, m_main.get());
        Transpart::FadeForm(about, true, 3);
        FadeRecorder recorder(about);
        about->close();
        recorder.timer.stop();
        QVERIFY(m_main->isEnabled());
        QVERIFY(recorder.alphas.isEmpty());
        QVERIFY(!about || Transpart::windowAlpha(about) == 255);
        QTRY_VERIFY(!about);
    }

    // A close that arrives while the fade yields ends the fade quietly.
    void closedDuringTheFade_stopsTheFade()
    {
        QPointer<frmAbout> about = new frmAbout(12, m_main.get());
        int passes = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (++passes == 10 && about) {
                about->close();
                delete about.data();
            }
        });
        closer.start(0);
        Transpart::FadeForm(about, true, 3);
        closer.stop();
        QVERIFY(!about);
        QVERIFY(m_main->isEnabled());
    }

    void activation_putsTheFocusOnBack()
    {
        auto *about = new frmAbout(12, m_main.get());
        Transpart::FadeForm(about, true, 3);
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTRY_VERIFY(about->cmdBack->hasFocus());
        delete about;
    }

    void enterOnBack_fadesOutAndUnloads()
    {
        QPointer<frmAbout> about = new frmAbout(12, m_main.get());
        Transpart::FadeForm(about, true, 3);
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTRY_VERIFY(about->cmdBack->hasFocus());
        QTest::keyClick(about->cmdBack, Qt::Key_Return);
        QVERIFY(m_main->isEnabled());
        QTRY_VERIFY(!about);
    }

    void mainWindowGone_aboutStillCloses()
    {
        QPointer<frmAbout> about = new frmAbout(12, m_main.get());
        m_main.reset();
        about->close();
        QTRY_VERIFY(!about);
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmabout.moc"
