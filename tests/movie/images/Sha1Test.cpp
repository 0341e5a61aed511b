// SHA-1 against the published test vectors, in one piece and in uneven pieces.

#include "Sha1.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(const genswf::CSha1::Digest& digest) {
    static const char* const kDigits = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

}  // namespace

TEST(Sha1Test, PublishedVectors) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqr"
         "stu",
         "a49b2446a02c645bf419f995b67091253a04a259"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {std::string(55, 'x'), nullptr},  // padding edges: checked against the chunked run below
        {std::string(56, 'x'), nullptr},
        {std::string(64, 'x'), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.size());
        const auto whole = genswf::CSha1::Of(c.input.data(), c.input.size());
        if (c.digest) {
            EXPECT_EQ(Hex(whole), c.digest);
        }
        for (std::size_t piece : {1u, 3u, 63u, 64u, 65u}) {
            genswf::CSha1 sha;
            for (std::size_t at = 0; at < c.input.size(); at += piece)
                sha.Update(c.input.data() + at, std::min(piece, c.input.size() - at));
            EXPECT_EQ(Hex(sha.Finish()), Hex(whole)) << "pieces of " << piece;
        }
    }
    // Finishing starts over.
    genswf::CSha1 sha;
    sha.Update("junk", 4);
    sha.Finish();
    sha.Update("abc", 3);
    EXPECT_EQ(Hex(sha.Finish()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}
