// The RTF reader's throughput on a ~100 KB lyric sheet, beside Qt's own HTML
// import of the same content, with the ratio of the two printed at the end.

#include "rtf/RtfReader.h"
#include "support/QtTestEnvironment.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct TSheet {
    QByteArray rtf;
    QString html;
};

// A song book as performers write them: titled songs, verses with chords in
// bold and colour, accented words, a centred chorus, some Unicode.
const TSheet &Sheet()
{
    static const TSheet sheet = [] {
        TSheet result;
        result.rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                     "Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl;\\red200"
                     "\\green0\\blue0;\\red0\\green0\\blue160;}\\uc1\n";
        result.html = "<html><body>";
        int song = 0;
        while (result.rtf.size() < 100 * 1024) {
            ++song;
            result.rtf += "\\pard\\qc\\f1\\fs48\\b Song " + QByteArray::number(song) +
                          " \\endash  Caf\\'e9 Nights\\b0\\par\n";
            result.html += QStringLiteral("<p align=\"center\" style=\"font-family:'Times New "
                                          "Roman'; font-size:24pt; font-weight:700;\">Song %1 "
                                          "&ndash; Caf&eacute; Nights</p>\n")
                               .arg(song);
            for (int verse = 1; verse <= 3; ++verse) {
                for (int line = 0; line < 4; ++line) {
                    result.rtf += "\\pard\\li360\\sa60\\f0\\fs28 {\\b\\cf1 Am} walking down "
                                  "the road tonight, {\\b\\cf1 G} under \\u8220?neon\\u8221? "
                                  "light, {\\i the city sleeps} and {\\cf2 so do I}\\par\n";
                    result.html += QStringLiteral(
                        "<p style=\"margin-left:24px; margin-bottom:4px; font-family:Arial; "
                        "font-size:14pt;\"><span style=\"font-weight:700; color:#c80000;\">Am"
                        "</span> walking down the road tonight, <span style=\"font-weight:700; "
                        "color:#c80000;\">G</span> under &ldquo;neon&rdquo; light, <i>the city "
                        "sleeps</i> and <span style=\"color:#0000a0;\">so do I</span></p>\n");
                }
                result.rtf += "\\pard\\qc\\fs32{\\b Chorus:} sing it loud\\line sing it "
                              "clear\\par\n";
                result.html += QStringLiteral(
                    "<p align=\"center\" style=\"font-size:16pt;\"><b>Chorus:</b> sing it "
                    "loud<br />sing it clear</p>\n");
            }
        }
        result.rtf += "}";
        result.html += "</body></html>";
        return result;
    }();
    return sheet;
}

void ReadRtf(benchmark::State &state)
{
    QTextDocument document;
    for (auto _ : state) {
        tarvello::ReadRtf(Sheet().rtf, document);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * Sheet().rtf.size());
}
BENCHMARK(ReadRtf)->Unit(benchmark::kMillisecond);

void SetHtml(benchmark::State &state)
{
    QTextDocument document;
    for (auto _ : state) {
        document.setHtml(Sheet().html);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * Sheet().html.toUtf8().size());
}
BENCHMARK(SetHtml)->Unit(benchmark::kMillisecond);

// The same, laid out at a stage width, as the view will do before it paints.
void ReadRtfAndLayOut(benchmark::State &state)
{
    QTextDocument document;
    document.setTextWidth(1200);
    for (auto _ : state) {
        tarvello::ReadRtf(Sheet().rtf, document);
        benchmark::DoNotOptimize(document.documentLayout()->documentSize());
    }
}
BENCHMARK(ReadRtfAndLayOut)->Unit(benchmark::kMillisecond);

void SetHtmlAndLayOut(benchmark::State &state)
{
    QTextDocument document;
    document.setTextWidth(1200);
    for (auto _ : state) {
        document.setHtml(Sheet().html);
        benchmark::DoNotOptimize(document.documentLayout()->documentSize());
    }
}
BENCHMARK(SetHtmlAndLayOut)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's time per iteration for the ratio.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    // Plain output: the figures end up in logs and reports, not on a terminal.
    TRatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    void printRatio(const char *label, const std::string &rtf, const std::string &html) const
    {
        const auto r = Times.find(rtf);
        const auto h = Times.find(html);
        if (r != Times.end() && h != Times.end() && r->second > 0)
            std::printf("%s: setHtml takes %.2f times as long as ReadRtf\n", label,
                        h->second / r->second);
    }

private:
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char **argv)
{
    tarvello::test::CreateTestApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("sheet: %lld bytes of RTF, %lld bytes of HTML\n",
                static_cast<long long>(Sheet().rtf.size()),
                static_cast<long long>(Sheet().html.toUtf8().size()));
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("import", "ReadRtf", "SetHtml");
    reporter.printRatio("import and layout", "ReadRtfAndLayOut", "SetHtmlAndLayOut");
    benchmark::Shutdown();
    return 0;
}
