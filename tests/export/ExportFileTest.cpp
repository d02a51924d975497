#include "export/ExportFile.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"

#include <QFile>

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& file, const std::string& bytes, fs::perms mode) {
    std::ofstream(file, std::ios::binary) << bytes;
    fs::permissions(file, mode);
}

bool AnyTemporaryFileIn(const fs::path& folder) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") {
            return true;
        }
    }
    return false;
}

class ExportFileTest : public CQtTest {};

} // namespace

// An export replaces what the user picked the way a text editor saves: through links to the
// file they name, keeping its mode and every other name it has; what is no file is refused.
TEST_F(ExportFileTest, ReplacesTheFileAsAnEditorSaves) {
    using enum fs::perms;
    const struct {
        const char* name;
        // Lays out the case in `here` and `there`; gives the path picked.
        std::function<fs::path(const fs::path& here, const fs::path& there)> plant;
        const char* written; // the file that must hold the export afterwards, in `there`
        fs::perms mode;
    } cases[] = {
        {"a private file",
         [](const fs::path&, const fs::path& there) {
             Write(there / "page.html", "old", owner_read | owner_write);
             return there / "page.html";
         },
         "page.html", owner_read | owner_write},
        {"a link to a file elsewhere",
         [](const fs::path& here, const fs::path& there) {
             Write(there / "page.html", "old", owner_read | owner_write | group_read);
             fs::create_symlink(there / "page.html", here / "link.html");
             return here / "link.html";
         },
         "page.html", owner_read | owner_write | group_read},
        {"relative links in a chain",
         [](const fs::path& here, const fs::path& there) {
             Write(there / "page.html", "old", owner_read | owner_write);
             fs::create_symlink("page.html", there / "inner.html");
             fs::create_symlink((there / "inner.html").lexically_relative(here),
                                here / "link.html");
             return here / "link.html";
         },
         "page.html", owner_read | owner_write},
        {"a link to a file not made yet",
         [](const fs::path& here, const fs::path& there) {
             fs::create_symlink(there / "page.html", here / "link.html");
             return here / "link.html";
         },
         "page.html", fs::perms::unknown},
        {"a file with a second name",
         [](const fs::path& here, const fs::path& there) {
             Write(there / "page.html", "old", owner_read | owner_write);
             fs::create_hard_link(there / "page.html", here / "second.html");
             return here / "second.html";
         },
         "page.html", owner_read | owner_write},
        {"a named pipe",
         [](const fs::path& here, const fs::path&) {
             ::mkfifo((here / "pipe").c_str(), 0600);
             return here / "pipe";
         },
         nullptr, fs::perms::unknown},
        {"a loop of links",
         [](const fs::path& here, const fs::path&) {
             fs::create_symlink(here / "b.html", here / "a.html");
             fs::create_symlink(here / "a.html", here / "b.html");
             return here / "a.html";
         },
         nullptr, fs::perms::unknown},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        CTempFolder here;
        CTempFolder there;
        const fs::path picked = each.plant(here.Path(), there.Path());
        const fs::file_status before = fs::symlink_status(picked);
        const qsizetype reported = TestServices().Shown().size();

        const bool written =
            WriteExportFile(QFile::decodeName(picked.c_str()), "new", TestServices(), nullptr);

        EXPECT_EQ(written, each.written != nullptr);
        EXPECT_EQ(TestServices().Shown().size(), reported + (written ? 0 : 1));
        EXPECT_EQ(fs::symlink_status(picked).type(), before.type()) << "the picked name changed";
        if (each.written != nullptr) {
            EXPECT_EQ(Bytes(picked), "new");
            EXPECT_EQ(Bytes(there / each.written), "new");
        }
        if (each.mode != fs::perms::unknown) {
            EXPECT_EQ(fs::status(there / each.written).permissions() & all, each.mode);
        }
        EXPECT_FALSE(AnyTemporaryFileIn(here.Path()));
        EXPECT_FALSE(AnyTemporaryFileIn(there.Path()));
    }
}
