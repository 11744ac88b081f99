// The exporter's RTF as another office suite reads it: the documents go
// through its converter to plain text and to flat OpenDocument, and the text
// and the attributes must come back. Skipped when soffice is not installed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>
#include <cmath>
#include <map>

#include "components/codeedit/rtf/RtfTestDocuments.h"

namespace {

const std::vector<std::pair<QString, std::string>>& Documents() {
  static const std::vector<std::pair<QString, std::string>> docs = {
      {"runs", RunsDocument()}, {"lines", LinesDocument()}, {"table", TableDocument()}};
  return docs;
}

// Writes the documents into Dir and converts them all in one call with a
// profile of its own; answers the converted files' contents by name.
std::map<QString, QByteArray> Convert(const QString& Format, const QString& Extension) {
  const QString soffice = QStandardPaths::findExecutable("soffice");
  if (soffice.isEmpty()) return {};
  QTemporaryDir dir;
  QStringList args = {
      "--headless",   "-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
      "--convert-to", Format,
      "--outdir",     dir.path()};
  for (const auto& [name, rtf] : Documents()) {
    QFile file(dir.filePath(name + ".rtf"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(rtf.data(), static_cast<qint64>(rtf.size()));
    args << file.fileName();
  }
  QProcess process;
  process.start(soffice, args);
  EXPECT_TRUE(process.waitForFinished(240000)) << "soffice did not finish";
  std::map<QString, QByteArray> out;
  for (const auto& [name, rtf] : Documents()) {
    QFile file(dir.filePath(name + "." + Extension));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    out[name] = file.readAll();
  }
  return out;
}

// The text of each span of a flat OpenDocument text, with the properties of
// its automatic style ("fo:font-weight" → "bold"); text outside spans gets
// none. Tabs and line breaks become "\t" and "\n".
using TProperties = std::map<QString, QString>;
std::vector<std::pair<std::string, TProperties>> Spans(const QByteArray& Xml, std::vector<double>* ColumnsCm) {
  std::map<QString, TProperties> styles;
  std::vector<std::pair<std::string, TProperties>> spans;
  QString style;
  QString span;
  QString text;
  QXmlStreamReader xml(Xml);
  auto flush = [&] {
    if (!text.isEmpty()) spans.push_back({text.toStdString(), span.isEmpty() ? TProperties{} : styles[span]});
    text.clear();
  };
  while (!xml.atEnd()) {
    xml.readNext();
    const QString name = xml.qualifiedName().toString();
    if (xml.isStartElement()) {
      if (name == "style:style") style = xml.attributes().value("style:name").toString();
      if (name == "style:text-properties")
        for (const auto& a : xml.attributes()) styles[style][a.qualifiedName().toString()] = a.value().toString();
      if (name == "style:table-column-properties" && ColumnsCm) {
        const QString width = xml.attributes().value("style:column-width").toString();
        const double value = width.left(width.size() - 2).toDouble();
        ColumnsCm->push_back(width.endsWith("in") ? value * 2.54 : width.endsWith("mm") ? value / 10 : value);
      }
      if (name == "text:span") {
        flush();
        span = xml.attributes().value("text:style-name").toString();
      }
      if (name == "text:tab") text += '\t';
      if (name == "text:line-break") text += '\n';
      if (name == "text:s") text += QString(std::max(1, xml.attributes().value("text:c").toInt()), ' ');
      if (name == "text:p") flush();
    } else if (xml.isEndElement()) {
      if (name == "text:span") {
        flush();
        span.clear();
      }
      if (name == "text:p") flush();
    } else if (xml.isCharacters()) {
      text += xml.text();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return spans;
}

QString Hex(TColor Color) {
  const TColor rgb = ColorToRGB(Color);
  return QString("#%1%2%3")
      .arg(GetRValue(rgb), 2, 16, QChar('0'))
      .arg(GetGValue(rgb), 2, 16, QChar('0'))
      .arg(GetBValue(rgb), 2, 16, QChar('0'));
}

TEST(RtfInterop, TextReadsBackAsPlainText) {
  if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "soffice is not installed";
  const auto texts = Convert("txt:Text (encoded):UTF8", "txt");
  const std::string runs = texts.at("runs").toStdString();
  for (const TSampleRun& r : SampleRuns()) EXPECT_NE(runs.find(r.Text), std::string::npos) << r.Text;
  std::string lines;
  for (const std::string& line : SampleLines()) lines += line + "\n";
  const QByteArray linesText = texts.at("lines");
  EXPECT_NE(QString::fromUtf8(linesText).replace("\r\n", "\n").toStdString().find(lines), std::string::npos)
      << linesText.toStdString();
  EXPECT_NE(texts.at("table").toStdString().find("left"), std::string::npos);
  EXPECT_NE(texts.at("table").toStdString().find("right"), std::string::npos);
}

TEST(RtfInterop, AttributesReadBackFromOpenDocument) {
  if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "soffice is not installed";
  const auto docs = Convert("fodt", "fodt");
  const auto spans = Spans(docs.at("runs"), nullptr);
  for (const TSampleRun& r : SampleRuns()) {
    SCOPED_TRACE(r.Text);
    const auto it = std::find_if(spans.begin(), spans.end(), [&](const auto& s) { return s.first == r.Text; });
    ASSERT_NE(it, spans.end());
    const TProperties& p = it->second;
    auto value = [&](const char* Key) { return p.count(Key) ? p.at(Key) : QString(); };
    using S = TFontStyle;
    EXPECT_EQ(value("fo:font-weight") == "bold", r.Styles.Contains(S::fsBold));
    EXPECT_EQ(value("fo:font-style") == "italic", r.Styles.Contains(S::fsItalic));
    EXPECT_EQ(value("style:text-underline-style") == "solid", r.Styles.Contains(S::fsUnderline));
    EXPECT_EQ(value("style:text-line-through-style") == "solid", r.Styles.Contains(S::fsStrikeOut));
    EXPECT_EQ(value("fo:color"), r.Color == -1 ? QString() : Hex(r.Color));
    EXPECT_EQ(value("fo:background-color"), r.Back == -1 ? QString() : Hex(r.Back));
    EXPECT_EQ(value("style:font-name").toStdString(), r.Font);
    EXPECT_EQ(value("fo:font-size"), r.Size ? QString::number(r.Size) + "pt" : QString());
  }
  std::vector<double> columns;
  Spans(docs.at("table"), &columns);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_NEAR(columns[0], 5.0, 0.01);
  EXPECT_NEAR(columns[1], 12.5, 0.01);
}

}  // namespace
