// Symbol encoding speed, side by side with peer encoders in the same run: our QR Code and Data Matrix encoders,
// driven through their symbology classes as the application drives them (content in, finished module grid out),
// against libqrencode and libdmtx on the same contents at the same symbol sizes. After the usual table it prints
// ours / peer per case (below 1: ours is faster), from the fastest repetition of each (--benchmark_repetitions=N
// steadies the figures on a busy machine). Linear symbologies have no peer here and report symbols per second.
#include "barcodes/TBQGeneric2DBarcode.h"
#include "barcodes/detail/DataMatrixEncoder.h"
#include "barcodes/detail/QREncoder.h"

#include <benchmark/benchmark.h>
#include <dmtx.h>
#include <qrencode.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

// Content of one kind, as long as asked: the pattern repeated and cut.
std::string repeated(std::string_view pattern, std::size_t length)
{
    std::string out;
    out.reserve(length);
    while (out.size() < length)
        out.append(pattern.substr(0, length - out.size()));
    return out;
}

struct ContentKind {
    const char* name;
    std::string_view pattern;
};

// Digits without long repetitions; letters, digits and the alphanumeric symbols (digit runs too short for numeric
// mode); lower-case text, which only byte mode holds.
constexpr ContentKind ContentKinds[] = {
    { "numeric", "3141592653589793238462643383279502884197169399375105820974944592307816406286" },
    { "alphanumeric", "THE QUICK BROWN FOX JUMPS OVER 13 LAZY DOGS: $4.50 + 10% / *-" },
    { "byte", "the quick brown fox jumps over the lazy dog; " },
};

// The longest content repeating the pattern, up to `maximum` characters, whose symbol is at most `limit` big.
template <typename SizeOf>
std::string longestContent(std::string_view pattern, int limit, std::size_t maximum, SizeOf sizeOf)
{
    std::size_t low = 1;
    std::size_t high = maximum;
    while (low < high) {
        std::size_t middle = (low + high + 1) / 2;
        if (sizeOf(repeated(pattern, middle)) <= limit)
            low = middle;
        else
            high = middle - 1;
    }
    return repeated(pattern, low);
}

// The longest content of a kind, up to `maximum` characters, that our encoder puts into this version or a lower one.
std::string contentFillingVersion(std::string_view pattern, int version, std::size_t maximum)
{
    return longestContent(pattern, version, maximum, [](const std::string& content) {
        auto symbol = QREncoder::encode(content);
        return symbol ? symbol->version : QREncoder::MaximumVersion + 1;
    });
}

// The same for Data Matrix rows.
std::string contentFillingRows(std::string_view pattern, int rows, std::size_t maximum)
{
    return longestContent(pattern, rows, maximum, [](const std::string& content) {
        auto symbol = DataMatrixEncoder::encode(content);
        return symbol ? symbol->rows : 1000;
    });
}

std::shared_ptr<TBQGeneric2DBarcode> matrixBarcode(const char* className, const std::string& content)
{
    auto barcode = std::dynamic_pointer_cast<TBQGeneric2DBarcode>(TBQGenericBarcode::barcodeWithClassName(className));
    barcode->setContent(fnd::String(content));
    return barcode;
}

// Ours through the class: what a content change costs the barcode once the content is set.
void encodeMatrix(benchmark::State& state, const char* className, const std::string& content, int expectedSize)
{
    auto barcode = matrixBarcode(className, content);
    if (!barcode->encodingErrorString().isEmpty() || barcode->matrixSymbol()->rows != expectedSize) {
        state.SkipWithError("our symbol has another size");
        return;
    }
    for (auto _ : state) {
        barcode->encodeContentIntoMatrix();
        benchmark::DoNotOptimize(barcode->matrixSymbol());
    }
    state.SetItemsProcessed(state.iterations());
}

QRecLevel peerLevel(QREncoder::Level level)
{
    switch (level) {
    case QREncoder::Level::L:
        return QR_ECLEVEL_L;
    case QREncoder::Level::M:
        return QR_ECLEVEL_M;
    case QREncoder::Level::Q:
        return QR_ECLEVEL_Q;
    case QREncoder::Level::H:
        break;
    }
    return QR_ECLEVEL_H;
}

// The peer gets the version and level our encoder chose, and splits the content into modes itself.
void encodePeerQR(benchmark::State& state, const std::string& content, int version, QREncoder::Level level)
{
    auto encode = [&] { return QRcode_encodeString(content.c_str(), version, peerLevel(level), QR_MODE_8, 1); };
    QRcode* probe = encode();
    const bool sameVersion = probe && probe->version == version;
    if (probe)
        QRcode_free(probe);
    if (!sameVersion) {
        state.SkipWithError("libqrencode needs another version");
        return;
    }
    for (auto _ : state) {
        QRcode* code = encode();
        benchmark::DoNotOptimize(code->data);
        QRcode_free(code);
    }
    state.SetItemsProcessed(state.iterations());
}

int peerDataMatrixSize(int rows)
{
    switch (rows) {
    case 24:
        return DmtxSymbol24x24;
    case 64:
        return DmtxSymbol64x64;
    default:
        return DmtxSymbol144x144;
    }
}

// A fresh encoder per symbol, as ours makes a fresh grid; one pixel per module and no margin keep its image small.
void encodePeerDataMatrix(benchmark::State& state, const std::string& content, int rows)
{
    auto encode = [&] {
        DmtxEncode* encoder = dmtxEncodeCreate();
        dmtxEncodeSetProp(encoder, DmtxPropSizeRequest, peerDataMatrixSize(rows));
        dmtxEncodeSetProp(encoder, DmtxPropModuleSize, 1);
        dmtxEncodeSetProp(encoder, DmtxPropMarginSize, 0);
        auto* bytes = reinterpret_cast<unsigned char*>(const_cast<char*>(content.data()));
        bool ok = dmtxEncodeDataMatrix(encoder, static_cast<int>(content.size()), bytes) == DmtxPass
            && encoder->region.symbolRows == rows;
        dmtxEncodeDestroy(&encoder);
        return ok;
    };
    if (!encode()) {
        state.SkipWithError("libdmtx made another size");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(encode());
    state.SetItemsProcessed(state.iterations());
}

void registerQRCase(const std::string& name, const std::string& content, bool throughTheClass)
{
    auto symbol = QREncoder::encode(content);
    const int version = symbol->version;
    const int size = symbol->size;
    if (throughTheClass) {
        benchmark::RegisterBenchmark((name + "ours").c_str(),
            [content, size](benchmark::State& state) { encodeMatrix(state, "QR", content, size); });
    } else {
        benchmark::RegisterBenchmark((name + "ours").c_str(), [content](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(QREncoder::encode(content));
            state.SetItemsProcessed(state.iterations());
        });
    }
    benchmark::RegisterBenchmark(
        (name + "libqrencode").c_str(), [content, version, level = symbol->level](benchmark::State& state) {
            encodePeerQR(state, content, version, level);
        });
}

void registerQRCases()
{
    const auto classMaximum
        = static_cast<std::size_t>(TBQGenericBarcode::barcodeWithClassName("QR")->maximumOfAllowedCharacters());
    const std::size_t encoderMaximum = 8000; // beyond any version 40 symbol
    for (int version : { 1, 10, 25, 40 }) {
        for (const auto& kind : ContentKinds) {
            const std::string content = contentFillingVersion(kind.pattern, version, classMaximum);
            const int reached = QREncoder::encode(content)->version;
            registerQRCase("QR/v" + std::to_string(reached) + "/" + kind.name + "/", content, true);
            // The class cuts the content before it fills this version (numeric content at version 40): the encoder
            // alone is timed at the version as well.
            if (reached < version) {
                registerQRCase("QR/v" + std::to_string(version) + "/" + kind.name + "-encoder/",
                    contentFillingVersion(kind.pattern, version, encoderMaximum), false);
            }
        }
    }
}

void registerDataMatrixCases()
{
    const auto classMaximum
        = static_cast<std::size_t>(TBQGenericBarcode::barcodeWithClassName("DataMatrix")->maximumOfAllowedCharacters());
    for (int rows : { 24, 64, 144 }) {
        // Digit pairs, one codeword each. The class takes too few characters to fill 144 x 144 with digits alone:
        // there every fifth character is a letter, one codeword after two of digit pairs.
        std::string_view pattern = rows < 144 ? ContentKinds[0].pattern : "2718X2818X2845X9045X2353X6028X7471X3526X";
        const std::string content = contentFillingRows(pattern, rows, classMaximum);
        const std::string name = "DataMatrix/" + std::to_string(rows) + "x" + std::to_string(rows) + "/";
        benchmark::RegisterBenchmark((name + "ours").c_str(),
            [content, rows](benchmark::State& state) { encodeMatrix(state, "DataMatrix", content, rows); });
        benchmark::RegisterBenchmark((name + "libdmtx").c_str(),
            [content, rows](benchmark::State& state) { encodePeerDataMatrix(state, content, rows); });
    }
}

void registerLinearCases()
{
    struct Case {
        const char* className;
        const char* content;
    };
    constexpr Case cases[] = {
        { "EAN13", "400638133393" },
        { "Code128", "Lot 12345678 ab-Lot 12345678 ab-" },
        { "Code39", "PART-0042 LOT 7/B" },
    };
    for (const auto& c : cases) {
        benchmark::RegisterBenchmark((std::string(c.className) + "/ours").c_str(), [c](benchmark::State& state) {
            auto barcode = TBQGenericBarcode::barcodeWithClassName(c.className);
            barcode->setContent(fnd::String(c.content));
            if (barcode->completeEncodedBarcode().empty())
                state.SkipWithError("no modules");
            for (auto _ : state)
                benchmark::DoNotOptimize(barcode->completeEncodedBarcode());
            state.SetItemsProcessed(state.iterations());
        });
    }
}

// The console table, then ours / peer for every case that has both, from the fastest repetition of each.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours on a terminal only, so piped figures stay plain text.
    RatioReporter()
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            auto [entry, added] = m_seconds.try_emplace(run.benchmark_name(), seconds);
            if (added)
                m_order.push_back(run.benchmark_name());
            else
                entry->second = std::min(entry->second, seconds);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        auto& out = GetOutputStream();
        out << '\n' << line("case", "ours (us)", "peer (us)", "ratio", "peer");
        for (const auto& name : m_order) {
            auto slash = name.rfind('/');
            const std::string peer = name.substr(slash + 1);
            auto ours = m_seconds.find(name.substr(0, slash + 1) + "ours");
            if (peer == "ours" || ours == m_seconds.end())
                continue;
            double peerSeconds = m_seconds[name];
            out << line(name.substr(0, slash), number(ours->second * 1e6), number(peerSeconds * 1e6),
                number(ours->second / peerSeconds), peer);
        }
        out.flush();
    }

private:
    static std::string number(double value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", value);
        return text;
    }
    static std::string line(const std::string& name, const std::string& ours, const std::string& peer,
        const std::string& ratio, const std::string& peerName)
    {
        char text[160];
        std::snprintf(text, sizeof text, "%-24s %12s %12s %8s  %s\n", name.c_str(), ours.c_str(), peer.c_str(),
            ratio.c_str(), peerName.c_str());
        return text;
    }

    std::map<std::string, double> m_seconds;
    std::vector<std::string> m_order;
};

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerQRCases();
    registerDataMatrixCases();
    registerLinearCases();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
