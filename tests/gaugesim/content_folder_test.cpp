#include "content_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace quen::gaugesim {
namespace {

namespace fs = std::filesystem;

class ContentFolder : public ::testing::Test {
protected:
    ContentFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "gaugesim-test-XXXXXX").string();
        root = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ContentFolder() override
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    void Write(const fs::path& relative, const std::string& bytes)
    {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << bytes;
    }
    std::string Error()
    {
        std::vector<GaugeSetup> gauges;
        std::string error;
        EXPECT_FALSE(LoadContentFolder(root, gauges, error));
        // Paths in messages are given relative to the test folder.
        for (std::size_t at; (at = error.find(root.string() + "/")) != std::string::npos;)
            error.erase(at, root.string().size() + 1);
        return error;
    }

    fs::path root;
};

TEST_F(ContentFolder, GaugesLoadInFolderOrder)
{
    Write("b/gauge.txt", "model = PEL\naddress = 000000000002\n");
    Write("b/10.txt", "r10\n");
    Write("b/9.txt", "r9a\r\nr9b\r\n\r\n");
    Write("b/007.txt", "");
    Write("a/gauge.txt", "name = QV-FE 9\nmodel = QV\nclass = 5\nfault = silent\nfault = close-fails 4\n");
    Write("a/s0001", std::string("\0\x01\xFF", 3));
    Write("a/m0001", "");
    Write("notes.md", "files beside the gauge folders are not gauges");
    std::vector<GaugeSetup> gauges;
    std::string error;
    ASSERT_TRUE(LoadContentFolder(root, gauges, error)) << error;
    ASSERT_EQ(gauges.size(), 2u);
    EXPECT_EQ(gauges[0].name, "QV-FE 9");
    EXPECT_EQ(gauges[0].address, 0xE8C04D000501ULL);  // the model's
    EXPECT_TRUE(gauges[0].faults.silent);
    EXPECT_EQ(gauges[0].faults.closeResult, 4);
    ASSERT_EQ(gauges[0].files.size(), 2u);
    EXPECT_EQ(gauges[0].files[0].name, "m0001");
    EXPECT_EQ(gauges[0].files[1].bytes, std::string("\0\x01\xFF", 3));
    EXPECT_EQ(gauges[1].name, "PELLAX DUAL FE");
    ASSERT_EQ(gauges[1].memories.size(), 3u);
    EXPECT_EQ(gauges[1].memories[0].name, "7");
    EXPECT_EQ(gauges[1].memories[1].name, "9");
    EXPECT_EQ(gauges[1].memories[1].records, (std::vector<std::string>{"r9a", "r9b"}));
    EXPECT_EQ(gauges[1].memories[2].name, "10");
}

TEST_F(ContentFolder, OneGaugeFolder)
{
    Write("gauge.txt", "model = Zinto\n");
    std::vector<GaugeSetup> gauges;
    std::string error;
    ASSERT_TRUE(LoadContentFolder(root, gauges, error)) << error;
    ASSERT_EQ(gauges.size(), 1u);
    EXPECT_EQ(gauges[0].model, "Zinto");
    EXPECT_TRUE(gauges[0].files.empty());
}

TEST_F(ContentFolder, ErrorsNameTheFileAndLine)
{
    struct Case {
        std::vector<std::pair<const char*, std::string>> files;
        const char* error;
    };
    const Case cases[] = {
        {{}, "no gauge (a gauge.txt here or in sub-folders)"},
        {{{"g/readme", "x"}}, "g/gauge.txt: No such file or directory"},
        {{{"g/gauge.txt", "name = x\n"}},
         "g/gauge.txt no \"model\" (one of the model table: QV, VORTAN, GV-4, GV-8, DORIVAN, Zinto, ZIN, PEL, BODUN, "
         "Thickness)"},
        {{{"g/gauge.txt", "model = PELLAX\n"}}, "g/gauge.txt unknown model \"PELLAX\""},
        {{{"g/gauge.txt", "model = PEL\n\ncolour = red\n"}}, "g/gauge.txt line 3: unknown key \"colour\""},
        {{{"g/gauge.txt", "model = PEL\nname = a\nname = b\n"}}, "g/gauge.txt line 3: \"name\" given twice"},
        {{{"g/gauge.txt", "model = PEL\nmodel = QV\n"}}, "g/gauge.txt line 2: \"model\" given twice"},
        {{{"g/gauge.txt", "model = PEL\nreply delay\n"}},
         "g/gauge.txt line 2: \"reply delay\" is not \"key = value\""},
        {{{"g/gauge.txt", "model = PEL\n"}, {"g/m0001", "x"}}, "g/m0001: a class 4 memory is named <number>.txt"},
        {{{"g/gauge.txt", "model = PEL\n"}, {"g/1.txt", "ok\nbad\x01record\n"}},
         "g/1.txt line 2: control character in a record"},
        {{{"g/gauge.txt", "model = PEL\n"}, {"g/1.txt", ""}, {"g/01.txt", ""}}, "g: memory 1 given twice"},
        {{{"g/gauge.txt", "model = PEL\n"}, {"g/sub/1.txt", ""}},
         "g/sub: not a memory file (only files belong beside gauge.txt)"},
        {{{"g/gauge.txt", "model = QV\n"}, {"g/m 1", ""}},
         "g/m 1: a memory file name has no blanks, \"!\" or non-ASCII characters"},
        {{{"g/gauge.txt", "model = QV\n"}, {"g/m!1", ""}},
         "g/m!1: a memory file name has no blanks, \"!\" or non-ASCII characters"},
        {{{"a/gauge.txt", "model = QV\n"}, {"b/gauge.txt", "model = QV\nname = QV-FE 2\n"}},
         "two gauges with the address E8C04D000501"},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        fs::create_directories(root);
        for (const auto& [path, bytes] : c.files)
            Write(path, bytes);
        std::string error = Error();
        if (error.rfind(root.string(), 0) == 0)
            error.erase(0, root.string().size() + 2);
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(ContentFolder, NotAFolder)
{
    std::vector<GaugeSetup> gauges;
    std::string error;
    EXPECT_FALSE(LoadContentFolder(root / "missing", gauges, error));
    EXPECT_EQ(error, (root / "missing").string() + ": not a folder");
}

TEST_F(ContentFolder, OversizedFileIsRefused)
{
    Write("gauge.txt", "model = QV\n");
    {
        std::ofstream big(root / "m0001", std::ios::binary);
        big.seekp(static_cast<std::streamoff>(kMaxContentFileSize));
        big.put('x');
    }
    std::vector<GaugeSetup> gauges;
    std::string error;
    EXPECT_FALSE(LoadContentFolder(root, gauges, error));
    EXPECT_NE(error.find("m0001: larger than 16777216 bytes"), std::string::npos) << error;
}

}  // namespace
}  // namespace quen::gaugesim
