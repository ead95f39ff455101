#include "tests/exchange/ExchangeFixture.h"

using namespace Qt::StringLiterals;

namespace {

using MemoryTest = ExchangeFixture;

TEST_F(MemoryTest, BothErasesAskTheSameQuestionAndOnlyYesErases) {
    h.view.clearLog();
    h.port.arrive("kept\r\n");
    h.idle(1);
    h.boxes.answerNext(MessageBoxes::Answer::No);
    h.act([&] { memory.eraseRecords(); });
    h.boxes.answerNext(MessageBoxes::Answer::No);
    h.act([&] { memory.eraseSelections(); });
    EXPECT_TRUE(h.port.written().isEmpty());
    EXPECT_EQ(h.view.log(), "kept\r\n");

    h.act([&] { memory.eraseRecords(); });
    EXPECT_TRUE(h.view.log().isEmpty()) << "the log is emptied before the command goes out";
    h.act([&] { memory.eraseSelections(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"DEL E", "DEL T"}));
    ASSERT_EQ(h.boxes.shown().size(), 4);
    for (const ScriptedMessageBoxes::Shown& shown : h.boxes.shown()) {
        EXPECT_EQ(shown.text, u"Do you really want to delete all data?"_s);
        EXPECT_EQ(shown.title, u"Delete"_s);
        EXPECT_EQ(shown.icon, MessageBoxes::Icon::Question);
        EXPECT_EQ(shown.buttons, MessageBoxes::Buttons::YesNo);
    }
    h.idle(100);
    EXPECT_TRUE(h.device.records().isEmpty());
}

TEST_F(MemoryTest, StatisticsAreShownWholeFromOneReadOrFromPieces) {
    h.device.setCustomCodes(12);
    h.device.setRecords(DeviceModel::demoRecords(345));
    h.act([&] { memory.showStatistics(); });
    EXPECT_EQ(h.controls.text(Control::OutStatistik), u"Custom codes: 12, records: 345"_s);

    h.device.setRecords({});
    h.port.setPieces(3, 40); // "12|", "0\r\n"
    h.act([&] { memory.showStatistics(); });
    EXPECT_EQ(h.controls.text(Control::OutStatistik), u"Custom codes: 12, records: 0"_s);
    EXPECT_TRUE(h.view.log().isEmpty()) << "the reply is consumed by the statistics";

    // A late line without a bar, the answer to an erase say, or a number alone, does not hide
    // the count behind it: the statistics show both numbers.
    answer({{"STA", "Erased\r\n345\r\n5|6\r\n"}});
    h.port.setPieces(8, 60);
    h.act([&] { memory.showStatistics(); });
    EXPECT_EQ(h.controls.text(Control::OutStatistik), u"Custom codes: 5, records: 6"_s);
    h.port.setPieces(0, 0);

    // A count the tool would not take for a download is still the handheld's answer: shown.
    answer({{"STA", "7|abc\r\n"}});
    h.act([&] { memory.showStatistics(); });
    EXPECT_EQ(h.controls.text(Control::OutStatistik), u"Custom codes: 7, records: abc"_s);
    answer({{"STA", "5|6\r\n"}});
    h.act([&] { memory.showStatistics(); });

    // No answer within 2.05 s: nothing changes and nothing is said.
    answer({{"STA", {}}});
    const qint64 started = h.clock.now();
    h.act([&] { memory.showStatistics(); });
    EXPECT_EQ(h.clock.now() - started, 2050);
    EXPECT_EQ(h.controls.text(Control::OutStatistik), u"Custom codes: 5, records: 6"_s);
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST_F(MemoryTest, ACommandWhoseWriteFindsThePortGoneIsToldByTheOneLostMessage) {
    const std::function<Outcome()> commands[] = {
        [&] { return memory.showStatistics().outcome; }, [&] { return memory.readOutSelections(); },
        [&] { return download.start(); }, [&] { return h.config.setTime(); }};
    for (const std::function<Outcome()>& command : commands) {
        h.port.failWrites(false);
        if (!h.controls.isChecked(Control::Connect))
            h.connect();
        h.boxes.clear();
        h.port.failWrites();
        Outcome outcome = Outcome::Done;
        h.act([&] { outcome = command(); });
        EXPECT_EQ(outcome, Outcome::PortLost);
        h.idle(10);
        ASSERT_EQ(h.boxes.shown().size(), 1) << h.boxes.texts().join(u" | "_s).toStdString();
        EXPECT_EQ(h.boxes.shown().first().title, u"Connection lost"_s);
        EXPECT_FALSE(h.controls.isChecked(Control::Connect));
    }
}

using PathTest = ExchangeFixture;

TEST_F(PathTest, BothDialogsShareTheLastChosenPathAndACancelChangesNothing) {
    h.controls.setText(Control::PfadSpeichern, u"typed.csv"_s);
    h.act([&] { paths.chooseSavePath(); }); // cancelled
    EXPECT_EQ(h.controls.text(Control::PfadSpeichern), u"typed.csv"_s);

    h.dialogs.chooseNext(u"/data/in.csv"_s);
    h.act([&] { paths.chooseLoadPath(); });
    EXPECT_EQ(h.controls.text(Control::PfadLaden), u"/data/in.csv"_s);
    h.dialogs.chooseNext(u"/data/out.csv"_s);
    h.act([&] { paths.chooseSavePath(); });
    EXPECT_EQ(h.controls.text(Control::PfadSpeichern), u"/data/out.csv"_s);
    h.act([&] { paths.chooseLoadPath(); }); // cancelled
    EXPECT_EQ(h.controls.text(Control::PfadLaden), u"/data/in.csv"_s);

    const auto& opened = h.dialogs.opened();
    ASSERT_EQ(opened.size(), 4);
    EXPECT_EQ(opened.at(0).title, u"Select CSV file for saving"_s);
    EXPECT_EQ(opened.at(0).filters, (QStringList{u"CSV file (*.csv)"_s, u"All files (*)"_s}));
    EXPECT_EQ(opened.at(1).title, u"Select CSV file for opening"_s);
    EXPECT_EQ(opened.at(1).filters, (QStringList{u"CSV files (*.csv)"_s, u"All files (*)"_s}));
    const QStringList offered{opened.at(0).initialPath, opened.at(1).initialPath,
                              opened.at(2).initialPath, opened.at(3).initialPath};
    EXPECT_EQ(offered, (QStringList{QString(), QString(), u"/data/in.csv"_s, u"/data/out.csv"_s}));
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

} // namespace
