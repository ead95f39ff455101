// A damaged settings file: start-up falls back to the defaults without a word, and a file that
// cannot be written is named when the window closes.

#include "tests/support/ScriptedMessageBoxes.h"
#include "ui/Form1.h"
#include "ui/Tool.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Damage {
    const char* name;
    std::function<void(const QString& file)> make;
    int port;      // the port index start-up chooses
    bool writable; // closing the window can store the settings
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

class DamagedSettings : public ::testing::TestWithParam<Damage> {
protected:
    DamagedSettings() {
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        QDir(home.path()).mkpath(u"Quorvelino"_s);
    }
    ~DamagedSettings() override { qunsetenv("XDG_CONFIG_HOME"); }

    QString file() const { return home.filePath(u"Quorvelino/Quorvelino.ini"_s); }

    QTemporaryDir home;
};

void write(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QByteArray garbage() {
    QRandomGenerator random(42);
    QByteArray bytes;
    for (int i = 0; i < 20000; ++i)
        bytes.append(static_cast<char>(random.bounded(256)));
    return bytes + "\n[Config]\nPort= 3\nSavePath=/kept\n";
}

TEST_P(DamagedSettings, StartUpUsesTheDefaultsSilently) {
    GetParam().make(file());
    ScriptedMessageBoxes boxes;
    {
        Tool tool(&boxes);
        tool.start();
        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join(u" | "_s).toStdString();
        EXPECT_EQ(tool.controls().currentIndex(Control::Port), GetParam().port);
        EXPECT_EQ(tool.controls().text(Control::PfadSpeichern), QString());
        EXPECT_EQ(tool.controls().text(Control::PfadLaden), QString());

        tool.controls().setText(Control::PfadLaden, u"/data/selections.csv"_s);
        ASSERT_TRUE(tool.window().close());
    }
    if (GetParam().writable) {
        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join(u" | "_s).toStdString();
        Tool again(&boxes);
        again.start();
        EXPECT_EQ(again.controls().text(Control::PfadLaden), u"/data/selections.csv"_s)
            << "the damaged file was written afresh";
    } else {
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_TRUE(
            boxes.texts().first().startsWith(u"The settings could not be saved in "_s + file()))
            << boxes.texts().first().toStdString();
    }
}

const Damage kDamages[] = {
    {"Garbage", [](const QString& f) { write(f, garbage()); }, 0, true},
    {"TruncatedInTheSectionName", [](const QString& f) { write(f, "[Conf"); }, 0, true},
    {"TruncatedAfterThePort", [](const QString& f) { write(f, "[Config]\nPort=\" 3\"\nSavePa"); },
     3, true},
    {"AFolderInItsPlace", [](const QString& f) { QDir().mkpath(f); }, 0, false},
};

std::string damageName(const ::testing::TestParamInfo<Damage>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSettings, ::testing::ValuesIn(kDamages), damageName);

TEST(UnreadableSettings, AFileWithoutReadPermissionGivesTheDefaults) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file; the folder case above covers an unreadable file";
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QDir(home.path()).mkpath(u"Quorvelino"_s);
    const QString file = home.filePath(u"Quorvelino/Quorvelino.ini"_s);
    write(file, "[Config]\nPort= 5\n");
    ::chmod(QFile::encodeName(file).constData(), 0);
    ScriptedMessageBoxes boxes;
    Tool tool(&boxes);
    tool.start();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(tool.controls().currentIndex(Control::Port), 0);
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
