// Arbitrary bytes as the web server's reply to the update check: the reply
// reader, the decoding, the line split and the judgement must neither crash
// nor break their promises, however the bytes arrive.
//
// clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     fuzz/UpdateReplyFuzz.cpp src/about/UpdateCheck.cpp src/about/UpdateCheck_posix.cpp \
//     src/common/Text.cpp -o UpdateReplyFuzz

#include "about/UpdateCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsValidUtf8(std::string_view text)
{
    // Round trip through the decoder that keeps valid UTF-8 unchanged.
    return DecodeUtf8OrLatin1(text) == text;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first byte sets the size of the pieces the reply arrives in, the
    // second the locale's decimal separator.
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view separators[] = {".", ",", "", "::"};
    const std::string_view separator = separators[data[1] % 4];
    const std::string_view reply(reinterpret_cast<const char*>(data + 2), size - 2);

    constexpr std::size_t maxBody = 1024; // small, so the fuzzer reaches the limit
    THttpReplyReader reader(maxBody);
    for (std::size_t at = 0; at < reply.size() && reader.State() == THttpReplyReader::TState::Reading; at += piece)
        reader.Feed(reply.substr(at, piece));
    reader.Finish();
    Require(reader.State() != THttpReplyReader::TState::Reading);
    if (reader.State() != THttpReplyReader::TState::Complete) {
        Require(reader.Body().empty());
        return 0;
    }

    // The same bytes in one piece give the same body.
    THttpReplyReader whole(maxBody);
    whole.Feed(reply);
    whole.Finish();
    Require(whole.State() == THttpReplyReader::TState::Complete && whole.Body() == reader.Body());
    Require(reader.Body().size() <= maxBody);

    const std::vector<std::string> lines = HttpReplyLines(reader.Body(), DecodeUtf8OrLatin1);
    for (const std::string& line : lines)
        Require(IsValidUtf8(line) && line.find_first_of("\r\n") == std::string::npos);

    const TUpdateCheckResult result = EvaluateUpdateReply(lines, "1.0", separator);
    const TUpdateCheckTexts texts{"new", "go", "app", "up to date", "unknown", "no response"};
    const TUpdateCheckMessage message = UpdateCheckMessage(result, texts);
    Require(IsValidUtf8(message.Text));
    if (result.Outcome == TUpdateCheckOutcome::NewVersionAvailable
        || result.Outcome == TUpdateCheckOutcome::ServerError)
        Require(lines.size() >= 2 && result.Text == lines[1]);
    return 0;
}
