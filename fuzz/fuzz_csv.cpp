// Reads arbitrary bytes as CSV, with the chunk size and separator chosen by the first byte and the encoding by the
// second, from every encoding the system converts and every separator the reader takes. Nothing may crash, the chunk
// size must not change the outcome, a parse started from a callback must be refused and leave the running one as it
// was, and rows read without an error, written by the CSV writer and read again, must come back the same.
#include "frameworks/FoundationExtensions/ZORCSVExport.h"
#include "frameworks/FoundationExtensions/ZORCSVParser.h"

#include "platform/foundation/runtime/Exception.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Rows = std::vector<std::vector<fnd::String>>;

class Collector : public ZORCSVParserDelegate {
public:
    void parserDidStartLine(ZORCSVParser&, std::uint64_t) override { rows.emplace_back(); }
    void parserDidReadField(ZORCSVParser& parser, const fnd::String& field) override
    {
        rows.back().push_back(field);
        if (triedAgain)
            return;
        triedAgain = true;
        try {
            parser.parse();
        } catch (const fnd::Exception&) {
            return;
        }
        std::fprintf(stderr, "a parse started while one ran\n");
        std::abort();
    }
    void parserDidFailWithError(ZORCSVParser&, const fnd::Error&) override { failed = true; }
    Rows rows;
    bool failed { false };
    bool triedAgain { false };
};

std::shared_ptr<Collector> parse(std::shared_ptr<fnd::InputStream> stream, fnd::StringEncoding encoding,
    std::int64_t separator, std::uint64_t chunkSize)
{
    auto collector = std::make_shared<Collector>();
    auto parser = ZORCSVParser::initWithStream(std::move(stream), encoding);
    if (!parser)
        return nullptr;
    (*parser)->setSeparatorType(separator);
    (*parser)->setChunkSize(chunkSize);
    (*parser)->setParserDelegate(collector);
    (*parser)->parse();
    return collector;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t control = data[0];
    const std::uint64_t chunkSize = 1 + (control & 0x0F) * 3;
    const std::int64_t separator = ZORCSVSeparator::All[(control >> 4) % ZORCSVSeparator::All.size()].code;
    const auto encodings = fnd::availableStringEncodings();
    const auto encoding = encodings[data[1] % encodings.size()];
    const fnd::Data input(data + 2, size - 2);
    auto read = parse(fnd::InputStream::withData(input), encoding, separator, chunkSize);
    if (!read)
        return 0;
    // How the bytes arrive must not change what they mean. The parser reads a chunk's worth at a time, so one chunk
    // just as long as the input holds all of it.
    auto whole = parse(fnd::InputStream::withData(input), encoding, separator, std::max<std::uint64_t>(size, 1));
    if (!whole || whole->failed != read->failed || (!read->failed && whole->rows != read->rows)) {
        std::fprintf(stderr, "chunks of %llu read differently from the whole input in %s\n",
            static_cast<unsigned long long>(chunkSize), fnd::localizedNameOfStringEncoding(encoding).utf8().c_str());
        std::abort();
    }
    if (read->failed)
        return 0;

    // One file in a private folder, written anew for every input; its name is as long on every run, so that runs
    // of the same inputs take the same paths through the code. The folder is in memory where the system has one:
    // on a disk, creating, truncating and closing the file took a sixth of each input's time.
    static const std::string path = [] {
        static char folder[] = "/dev/shm/fuzz-csv-XXXXXX";
        static char diskFolder[] = "/tmp/fuzz-csv-XXXXXX";
        char* made = mkdtemp(folder);
        if (!made)
            made = mkdtemp(diskFolder);
        if (!made)
            std::abort();
        static const std::string madeFolder = made;
        std::atexit([] {
            std::remove((madeFolder + "/rows.csv").c_str());
            rmdir(madeFolder.c_str());
        });
        return madeFolder + "/rows.csv";
    }();
    auto handle = fnd::FileHandle::createForWritingAtPath(path.c_str());
    if (!handle)
        return 0;
    ZORCSVExport writer(*handle);
    writer.setSeparatorType(separator);
    std::vector<fnd::Array> rows;
    rows.reserve(read->rows.size());
    for (const auto& row : read->rows)
        rows.push_back(fnd::Array(row.begin(), row.end()));
    if (!writer.writeRows(rows))
        return 0; // a lone surrogate has no UTF-8 form
    (*handle)->closeFile();

    auto again = parse(fnd::InputStream::withFile(path.c_str()), fnd::StringEncoding::UTF8, separator, chunkSize);
    if (!again || again->failed || again->rows != read->rows) {
        std::fprintf(stderr, "written rows read back differently (%zu rows, then %zu)\n", read->rows.size(),
            again ? again->rows.size() : 0);
        std::abort();
    }
    return 0;
}
