#include "programs/punch/punch_report.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "engine/making/layout_disc.h"
#include "tests/support/made_disc_formats.h"

namespace tivenor::cli {
namespace {

QJsonObject Parsed(const std::string& json) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << json;
  return document.object();
}

TEST(PunchReportTest, NamesOfEveryKindStayReadableJson) {
  const DiscLayout layout = LayoutDisc({{0.25, 64, 0}, {1.5, 82, 0}}, {});
  const std::string source = "my \"best\" tune\\\t\x01.mid";
  const QJsonObject report = Parsed(PunchReportJson(layout, source, {"a \"warning\""}));
  EXPECT_EQ(report["source"].toString().toStdString(), source);
  EXPECT_EQ(report["warnings"].toArray().at(0).toString(), "a \"warning\"");
}

TEST(PunchReportTest, ListsNotesAndLeftOutNotesWithTheirFields) {
  LayoutOptions untransposed;
  untransposed.transpose = 0;
  const DiscLayout layout = LayoutDisc({{0.25, 64, 0}, {1.5, 82, 0}, {2.0, 71, 0}}, untransposed);
  const std::string json = PunchReportJson(layout, "tune.mid", {});
  const QJsonObject report = Parsed(json);
  EXPECT_EQ(report["transpose"].toInt(), 0);
  const QJsonArray notes = report["notes"].toArray();
  ASSERT_EQ(notes.size(), 2);
  const QJsonObject first = notes.at(0).toObject();
  EXPECT_DOUBLE_EQ(first["time"].toDouble(), 0.25);
  EXPECT_EQ(first["source_key"].toInt(), 64);
  EXPECT_EQ(first["key"].toInt(), 64);
  EXPECT_EQ(first["pin"].toInt(), 2);
  EXPECT_EQ(first["tick"].toInt(), layout.notes[0].tick);
  const QJsonArray leftOut = report["left_out"].toArray();
  ASSERT_EQ(leftOut.size(), 1);
  EXPECT_EQ(leftOut.at(0).toObject()["reason"].toString(), "no pin plays key 82");
  EXPECT_TRUE(report["warnings"].toArray().isEmpty());
  // One note a line, for people reading it.
  EXPECT_NE(json.find("\n  {\"time\": 0.25, \"source_key\": 64, \"key\": 64, \"pin\": 2,"),
            std::string::npos)
      << json;
}

TEST(PunchReportTest, ADiscOfAnotherFormatGivesTracksDegreesAndLengths) {
  LayoutOptions options;
  options.format = tivenor::testing::PianoPlayerFormat();
  options.diameterMm = 400.0;
  options.transpose = 0;
  const DiscLayout layout =
      LayoutDisc({{0.5, 43, 0, 1.25}, {9.5, 84, 0, 2.0}, {10.0, 44, 0, 1.0}}, options);
  const QJsonObject report = Parsed(PunchReportJson(layout, "tune.mid", {}));
  EXPECT_EQ(report["format"].toString(), "piano-player-36");
  EXPECT_DOUBLE_EQ(report["diameter_mm"].toDouble(), 400.0);
  EXPECT_DOUBLE_EQ(report["seconds_per_turn"].toDouble(), 90.0);
  EXPECT_DOUBLE_EQ(report["start_degrees"].toDouble(), 90.0);
  const QJsonArray notes = report["notes"].toArray();
  ASSERT_EQ(notes.size(), 2);
  const QJsonObject last = notes.at(1).toObject();
  EXPECT_EQ(last["track"].toInt(), 36);
  EXPECT_DOUBLE_EQ(last["degrees"].toDouble(), 39.3);  // 3.3 + 9 s of a 90 s turn
  EXPECT_DOUBLE_EQ(last["length"].toDouble(), 2.0);
  EXPECT_FALSE(last.contains("pin"));
  EXPECT_EQ(report["left_out"].toArray().at(0).toObject()["reason"].toString(),
            "no track plays key 44");
}

}  // namespace
}  // namespace tivenor::cli
