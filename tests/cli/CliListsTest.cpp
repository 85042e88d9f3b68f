// sgxctl list: the table as the windows show it, for scripts.
#include "CliLists.h"
#include "CliArguments.h"
#include "FakeSystemPortList.h"
#include "PatternTable.h"
#include "PortDirectory.h"
#include "TimingReference.h"
#include "TimingTable.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>

namespace {

TEST(CliLists, TimingsAsTabSeparatedLines)
{
    const QStringList lines = QString::fromStdString(listTimings(false)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 35);
    EXPECT_EQ(lines[0].toStdString(), "1\t640x480-60\t25.175 MHz\t31.469 KHz\t59.940 Hz");
    EXPECT_EQ(lines[27].toStdString(), "28\t1920x1080I-60\t74.250 MHz\t33.750 KHz\t30.000 Hz");
    const auto request = parseCliArguments({"list", "timings"});
    ASSERT_TRUE(request.request);
    EXPECT_EQ(request.request->listed, "timings");
    EXPECT_FALSE(parseCliArguments({"list", "timings", "--xml"}).request);
    EXPECT_FALSE(parseCliArguments({"list"}).request);
}

TEST(CliLists, TimingsAsJsonCarryEveryFieldAsANumberButPolarities)
{
    using namespace TimingReference;
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(listTimings(true)), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray entries = document.array();
    ASSERT_EQ(entries.size(), 35);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject o = entries[i].toObject();
        const TimingEntry &e = TimingTable[static_cast<std::size_t>(i)];
        EXPECT_EQ(o.size(), 23);
        EXPECT_EQ(o["number"].toInt(), e.Number);
        EXPECT_EQ(o["name"].toString(), QString::fromLatin1(e.Name));
        for (auto field = o.begin(); field != o.end(); ++field)
            EXPECT_EQ(field->isString(), field.key() == "name" || field.key().endsWith("Polarity"))
                << field.key().toStdString();
        EXPECT_EQ(o["hPulseWidth"].toInt(), e.HPW);
        EXPECT_EQ(o["vPolarity"].toString(), e.VPol == 1 ? "-" : "+");
        EXPECT_EQ(o["hRate"].toDouble(), scaled(e.HRat).toDouble());
        EXPECT_EQ(o["hActiveTime"].toDouble(), horizontalTime(e.HAct, e.PClk).toDouble());
        EXPECT_EQ(o["vPulseDelayTime"].toDouble(), verticalTime(e.VPD, e.HTol, e.PClk).toDouble());
        EXPECT_EQ(o["pixelClock"].toDouble(), scaled(e.PClk).toDouble());
    }
    // With the three decimals the window shows.
    EXPECT_NE(listTimings(true).find("\"vRate\": 59.940,"), std::string::npos);
    EXPECT_EQ(jsonString("a\"b\\\n"), "\"a\\\"b\\\\\\u000a\"");
}

TEST(CliLists, PatternsKeepTheirPadding)
{
    const std::string text = listPatterns(false);
    const QStringList lines = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 39);
    EXPECT_EQ(lines[0].toStdString(), "1\tWhite");
    EXPECT_EQ(lines[23].toStdString(), "24\tMulti-Burst  ");
    EXPECT_EQ(lines[24].toStdString(), "25\tPluge        ");
    EXPECT_EQ(lines[38].toStdString(), "39\tHDCP-Produce");

    QJsonParseError error{};
    const QJsonArray entries =
        QJsonDocument::fromJson(QByteArray::fromStdString(listPatterns(true)), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(entries.size(), 39);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject o = entries[i].toObject();
        EXPECT_EQ(o.size(), 2);
        EXPECT_EQ(o["number"].toInt(-1), i + 1);
        EXPECT_EQ(o["name"].toString().toStdString(), PatternTable[static_cast<std::size_t>(i)].Name);
    }

    for (const bool json : {false, true}) {
        std::vector<std::string> args = {"list", "patterns"};
        if (json)
            args.emplace_back("--json");
        const auto request = parseCliArguments(args);
        ASSERT_TRUE(request.request);
        EXPECT_EQ(request.request->listed, "patterns");
        EXPECT_EQ(request.request->json, json);
    }
    EXPECT_FALSE(parseCliArguments({"list", "programs"}).request);
}

TEST(CliLists, PortsWithEveryFieldAndTheirComNumber)
{
    for (int n = 1; n <= 8; ++n)
        qunsetenv(QByteArray("SGX100_COM" + QByteArray::number(n)).constData());
    qputenv("SGX100_COM2", "/dev/ttyUSB0");
    FakeSystemPortList system;
    system.ports = {{"ttyUSB0", "/dev/ttyUSB0", "FT232R \"USB\" UART", "FTDI", "A50285BI", 0x0403, 0x6001},
                    {"ttyS5", "/dev/ttyS5", {}, {}, {}, {}, {}}};
    PortDirectory ports(system);
    ports.refresh();
    const std::string text = listPorts(ports, false);
    const std::string json = listPorts(ports, true);
    qunsetenv("SGX100_COM2");

    EXPECT_EQ(text, "ttyUSB0\t/dev/ttyUSB0\tFT232R \"USB\" UART\tFTDI\tA50285BI\t0403\t6001\tCOM 2\n"
                    "ttyS5\t/dev/ttyS5\t-\t-\t-\t-\t-\tCOM 6\n");
    QJsonParseError error{};
    const QJsonArray entries = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(entries.size(), 2);
    const QJsonObject usb = entries[0].toObject();
    EXPECT_EQ(usb.size(), 8);
    EXPECT_EQ(usb["systemName"].toString(), "ttyUSB0");
    EXPECT_EQ(usb["device"].toString(), "/dev/ttyUSB0");
    EXPECT_EQ(usb["description"].toString(), "FT232R \"USB\" UART");
    EXPECT_EQ(usb["manufacturer"].toString(), "FTDI");
    EXPECT_EQ(usb["serialNumber"].toString(), "A50285BI");
    EXPECT_EQ(usb["vendorId"].toString(), "0403");
    EXPECT_EQ(usb["productId"].toString(), "6001");
    EXPECT_EQ(usb["com"].toInt(), 2);
    const QJsonObject bare = entries[1].toObject();
    EXPECT_TRUE(bare["vendorId"].isNull() && bare["productId"].isNull());
    EXPECT_EQ(bare["description"].toString("missing"), "");
    EXPECT_EQ(bare["com"].toInt(), 6);

    system.ports.clear();
    ports.refresh();
    EXPECT_EQ(listPorts(ports, true), "[\n]\n");
    EXPECT_EQ(listPorts(ports, false), "");

    for (const auto &[args, json] : std::vector<std::pair<std::vector<std::string>, bool>>{
             {{"ports"}, false}, {{"ports", "--json"}, true}}) {
        const auto request = parseCliArguments(args);
        ASSERT_TRUE(request.request);
        EXPECT_EQ(request.request->listed, "ports");
        EXPECT_EQ(request.request->json, json);
    }
    EXPECT_FALSE(parseCliArguments({"ports", "--xml"}).request);
    EXPECT_FALSE(parseCliArguments({"ports", "--json", "--json"}).request);
}

} // namespace
