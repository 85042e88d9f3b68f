// Read, Upload and Write EDID from the EDID menu, the EDID Memory window and File Open and
// Save As against the emulator, and a line that hangs up during an upload.
#include "AcceptanceSession.h"

#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

using namespace AppTestSupport;

class EdidAcceptanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readEdid();
    void saveAndOpen();
    void uploadAndWrite();
    void hangUpDuringUpload();

private:
    // The 256 cells the EDID Memory window shows, read as an operator would and closed again.
    QByteArray memoryShown();
    [[nodiscard]] static QByteArray fileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool menu(const char *item)
    {
        return chooseMenuItem(m_session.form(), QStringLiteral("EDID"), QString::fromLatin1(item));
    }

    AcceptanceSession m_session;
    QTemporaryDir m_dir;
    const QString m_display = QStringLiteral(SGX_TEST_DATA "/asus-vw246-hdmi.bin");
};

void EdidAcceptanceTest::initTestCase()
{
    quietenPlatformWarnings();
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
    // The dialogs' own history stays out of the user's settings.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toLocal8Bit());
    QVERIFY(m_session.start({QStringLiteral("--edid"), m_display}));
}

QByteArray EdidAcceptanceTest::memoryShown()
{
    QByteArray shown;
    m_session.driver.thenOn(QStringLiteral("EDID_Block"), [&shown](QWidget *window) {
        auto *grid = window->findChild<QTableView *>(QStringLiteral("StringGrid1"));
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column)
                shown.append(
                    QByteArray::fromHex(grid->model()->index(row, column).data().toString().toLatin1()));
        window->close();
    });
    if (!menu("EDID_Memorys"))
        return {};
    return shown;
}

void EdidAcceptanceTest::readEdid()
{
    QVERIFY(menu("EDID_READ"));
    QVERIFY(m_session.waitForMessages(1, 10000));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("  Read EDID Successful!!  "));
    QVERIFY(m_session.changes().contains(QStringLiteral("EDID read (8 block requests)")));
    QCOMPARE(memoryShown(), fileBytes(m_display));
}

void EdidAcceptanceTest::saveAndOpen()
{
    const QString saved = m_dir.filePath("saved");
    m_session.driver.thenOn(QStringLiteral("SaveDialog1"),
                            [saved](QWidget *dialog) { chooseFile(dialog, saved); });
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("File1"), QStringLiteral("FileSaveAsItem")));
    QCOMPARE(fileBytes(saved), fileBytes(m_display));

    // Another display's base block over the first 128 bytes.
    const QString other = QStringLiteral(SGX_TEST_DATA "/dell-2408wfp-dp.bin");
    m_session.driver.thenOn(QStringLiteral("OpenDialog1"),
                            [other](QWidget *dialog) { chooseFile(dialog, other); });
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("File1"), QStringLiteral("FileOpenItem")));
    QCOMPARE(memoryShown(), fileBytes(other) + fileBytes(m_display).mid(128));
}

void EdidAcceptanceTest::uploadAndWrite()
{
    const int before = static_cast<int>(m_session.driver.messages.size());
    QVERIFY(menu("WRITE_EDID"));
    QVERIFY(m_session.waitForMessages(before + 1, 40000));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Upload successful!!"));
    QVERIFY(m_session.changes().contains(QStringLiteral("EDID uploaded")));
    QByteArray payload;
    const QByteArray sent = m_session.sentBytes();
    const int start = static_cast<int>(sent.lastIndexOf("UEDID")) + 10;
    for (int i = 0; i < 256; ++i)
        payload.append(sent.at(start + 3 * i + 1));
    QCOMPARE(payload, memoryShown());

    QVERIFY(menu("WriteEDID1"));
    QVERIFY(m_session.waitForMessages(before + 2, 5000));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Write EDID successful!!"));
    QVERIFY(m_session.waitForChange(QStringLiteral("EDID written"), 2000));
}

void EdidAcceptanceTest::hangUpDuringUpload()
{
    QVERIFY(
        m_session.start({QStringLiteral("--hang-up"), QStringLiteral("--faults-from"), QStringLiteral("2")}));
    const int before = static_cast<int>(m_session.driver.messages.size());
    QVERIFY(menu("WRITE_EDID"));
    QVERIFY(m_session.waitForMessages(before + 1, 40000));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("No Response !!"));
    QVERIFY(m_session.changes().contains(QStringLiteral("hung up in the middle of the UEDID payload")));
    QVERIFY(showsAbsent(m_session.form()));
}

QTEST_MAIN(EdidAcceptanceTest)
#include "EdidAcceptanceTest.moc"
