#include "platform/InstanceLock.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class tst_InstanceLock : public QObject
{
    Q_OBJECT

private slots:
    // setStaleLockTime(0) never let a lock without a readable process id go stale, so an
    // empty or damaged vorn.lock said "already running" at every start.
    void lockWithoutReadableOwner_blockedForGood_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("ownerRunning");
        QTest::addColumn<bool>("acquired");
        QTest::newRow("empty") << QByteArray() << false << true;
        QTest::newRow("garbage") << QByteArray("\x01\xff\xfe not a lock\n") << false << true;
        QTest::newRow("owner gone") << QByteArray("2147483000\nvorn\nhost\n") << false << true;
        QTest::newRow("running owner") << QByteArray() << true << false;
        QTest::newRow("running owner, damaged file") << QByteArray("garbage") << true << false;
    }

    void lockWithoutReadableOwner_blockedForGood()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, ownerRunning);
        QFETCH(bool, acquired);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vorn.lock"));
        std::optional<QLockFile> owner;
        if (ownerRunning) {
            owner.emplace(path);
            QVERIFY(owner->tryLock(0));
        }
        if (!content.isEmpty() || !ownerRunning) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        InstanceLock lock(path);
        QCOMPARE(lock.tryAcquire(), acquired);
    }
};

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"
