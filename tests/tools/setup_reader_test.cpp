// portavo-inspect on the setup.exe this build made: list shows the record
// compiled in and the version resource, verify passes, extract gives the
// payload files byte for byte with the release time; damaged, truncated and
// foreign files fail with one line and a non-zero status, never a crash and
// never a written file. The manifest read back is well-formed XML that asks for
// what the program needs; a signed copy verifies and reads as the unsigned one.
#include "tests/tools/sample_setup.h"
#include "tools/config/table.h"
#include "tools/peruse/commands.h"
#include "tools/peruse/setup_reader.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(PORTAVO_TOOLS_DIR) + "/peruse/portavo-inspect";
const std::string kSetup = PORTAVO_SETUP_EXE;

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The payload file a table entry was packed from: the MinGW tree of
// setup.exe packs its own (its uninstaller and stand-ins), in gen/files.
fs::path PayloadSource(const char* name) { return fs::path(PORTAVO_SETUP_GEN) / "files" / name; }

// The record of setup.exe: this program's, with the packed sizes of its
// tree's payload.
const ProductConfig& Shipped() {
    static ProductConfig record = g_product;
    static bool measured = false;
    for (int i = 0; !measured && i < record.fileCount; ++i) {
        const fs::path packed = fs::path(PORTAVO_SETUP_GEN) / "packed" / record.files[i].fileName;
        record.files[i].packedSize = static_cast<uint32_t>(fs::file_size(packed));
    }
    measured = true;
    return record;
}

struct Result {
    int status;
    std::string out, err;
};

std::string Contents(FILE* f) {
    std::string s;
    rewind(f);
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
    fclose(f);
    return s;
}

// Runs a command in this process (under the sanitizers).
Result RunCommand(const std::function<int(FILE*, FILE*)>& command) {
    FILE* out = tmpfile();
    FILE* err = tmpfile();
    Result r;
    r.status = command(out, err);
    r.out = Contents(out);
    r.err = Contents(err);
    return r;
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

class Inspect : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kSetup)) << kSetup << " is not built (make build)";
        char pattern[] = "/tmp/portavo-inspect-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        bytes_ = ReadAll(kSetup);
        std::string why;
        ASSERT_TRUE(OpenSetup(kSetup, &image_, &why)) << why;
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    // A resource's file offset, and where its data entry (RVA, size) is.
    size_t DataEntry(const PeResource& r) const {
        for (const PeSection& s : image_.pe.sections) {
            if (r.offset < s.rawOffset || r.offset >= s.rawOffset + s.rawSize) continue;
            const uint32_t rva = r.offset - s.rawOffset + s.virtualAddress;
            for (size_t at = 0; at + 8 <= bytes_.size(); at += 4) {
                uint32_t a, b;
                memcpy(&a, &bytes_[at], 4);
                memcpy(&b, &bytes_[at + 4], 4);
                if (a == rva && b == r.size) return at;
            }
        }
        ADD_FAILURE() << "no data entry for resource " << r.name;
        return 0;
    }

    const PeResource& Payload(int entry) const {
        const PeResource* r = image_.pe.FindNamed(kResourceTypeRcdata, image_.record.files[entry].resourceName);
        EXPECT_NE(r, nullptr);
        return *r;
    }

    size_t EntryField(int entry, size_t field) const {
        return image_.recordOffset + offsetof(ProductConfig, files) + entry * sizeof(FileEntry) + field;
    }

    fs::path Copy(const char* name, const std::vector<uint8_t>& bytes) const {
        const fs::path path = dir_ / name;
        WriteAll(path, bytes);
        return path;
    }

    fs::path dir_;
    std::vector<uint8_t> bytes_;
    SetupImage image_;
};

TEST_F(Inspect, FindsTheRecordCompiledInAndListsItWithTheVersionResource) {
    EXPECT_EQ(memcmp(&image_.record, &Shipped(), sizeof g_product), 0) << "the record read back differs";

    Result r = RunCommand([](FILE* out, FILE* err) { return ListCommand(kSetup, out, err); });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string table = ProductTableText(Shipped());
    EXPECT_EQ(r.out.substr(0, table.size()), table) << r.out;
    for (const char* line : {"Version resource: file version 4.2.0.0, product version 4.2.0.0\n",
                             "  CompanyName        Velmora Utilities\n", "  FileDescription    Trovado Pro Setup\n",
                             "  FileVersion        4.02\n", "  OriginalFilename   setup.exe\n",
                             "  ProductName        Trovado Pro\n", "  ProductVersion     4.02\n",
                             "PE time stamp 2006-12-23 04:02:00 UTC"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << " missing from\n" << r.out;
}

// Elements of a manifest by local name, each with its namespace and
// attributes.
struct XmlElement {
    std::string ns;
    std::map<std::string, std::string> attributes;
};

void CollectElements(xmlNode* node, std::multimap<std::string, XmlElement>* out) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        XmlElement e;
        if (node->ns && node->ns->href) e.ns = reinterpret_cast<const char*>(node->ns->href);
        for (xmlAttr* a = node->properties; a; a = a->next) {
            xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
            e.attributes[reinterpret_cast<const char*>(a->name)] = value ? reinterpret_cast<const char*>(value) : "";
            xmlFree(value);
        }
        out->emplace(reinterpret_cast<const char*>(node->name), e);
        CollectElements(node->children, out);
    }
}

TEST_F(Inspect, ManifestAsksForAdministratorRightsAndNamesTheWindowsVersions) {
    std::string text;
    ASSERT_TRUE(ReadManifest(image_, &text)) << "no manifest resource 1";
    xmlDoc* doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "setup.manifest", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    ASSERT_NE(doc, nullptr) << "the manifest is not well-formed XML:\n" << text;
    xmlNode* root = xmlDocGetRootElement(doc);
    std::multimap<std::string, XmlElement> elements;
    CollectElements(root, &elements);
    xmlFreeDoc(doc);
    const char* const kAsmV1 = "urn:schemas-microsoft-com:asm.v1";
    ASSERT_EQ(elements.count("assembly"), 1u);
    EXPECT_EQ(elements.find("assembly")->second.ns, kAsmV1);
    EXPECT_EQ(elements.find("assembly")->second.attributes["manifestVersion"], "1.0");

    ASSERT_EQ(elements.count("assemblyIdentity"), 1u);
    const XmlElement& identity = elements.find("assemblyIdentity")->second;
    EXPECT_EQ(identity.ns, kAsmV1);
    EXPECT_EQ(identity.attributes,
              (std::map<std::string, std::string>{{"type", "win32"},
                                                  {"name", "VelmoraUtilities.TrovadoPro.Setup"},
                                                  {"version", "4.2.0.0"},
                                                  {"processorArchitecture", "x86"}}));

    ASSERT_EQ(elements.count("requestedExecutionLevel"), 1u);
    const XmlElement& level = elements.find("requestedExecutionLevel")->second;
    EXPECT_EQ(level.ns, "urn:schemas-microsoft-com:asm.v3");
    EXPECT_EQ(level.attributes,
              (std::map<std::string, std::string>{{"level", "requireAdministrator"}, {"uiAccess", "false"}}));

    // Vista to 11, each by the supportedOS Id that Microsoft's documentation
    // of the application manifest ("Application manifests", the
    // compatibility element) gives it; Windows 10 and 11 share one.
    const std::map<std::string, std::string> documented = {
        {"Windows Vista", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"},
        {"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
        {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
        {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
        {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
    };
    std::multiset<std::string> ids;
    auto range = elements.equal_range("supportedOS");
    for (auto it = range.first; it != range.second; ++it) {
        EXPECT_EQ(it->second.ns, "urn:schemas-microsoft-com:compatibility.v1");
        ids.insert(it->second.attributes["Id"]);
    }
    for (const auto& system : documented)
        EXPECT_EQ(ids.count(system.second), 1u) << system.first << " is not declared once by its Id " << system.second;
    EXPECT_EQ(ids.size(), documented.size()) << "supportedOS elements with other Ids";

    // Pixel layout and the classic controls: no DPI awareness, no
    // dependency (Common Controls 6 would be one).
    for (const char* absent : {"dpiAware", "dpiAwareness", "dependency", "dependentAssembly"})
        EXPECT_EQ(elements.count(absent), 0u) << absent;

    Result r = RunCommand([](FILE* out, FILE* err) { return ListCommand(kSetup, out, err); });
    EXPECT_NE(r.out.find("Requested execution level: requireAdministrator\nSignature: none\n"), std::string::npos)
        << r.out;
}

// The "Signing time" that osslsigncode reads back from a signed file.
std::string SigningTime(const fs::path& dir, const std::string& file) {
    const std::string log = (dir / (file + ".verify")).string();
    const std::string verify =
        "cd '" + dir.string() + "' && osslsigncode verify -CAfile ca.pem -in '" + file + "' >'" + log + "' 2>&1";
    if (system(verify.c_str()) != 0) return "(does not verify; see " + log + ")";
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("Signing time: ");
        if (at != std::string::npos) return line.substr(at + 14);
    }
    return "(no signing time in " + log + ")";
}

// scripts/sign with a throwaway CA and code-signing certificate: the signed
// copy verifies against that CA with the release time as its signing time,
// reads as the unsigned file in every command, and a flipped byte breaks the
// signature. The signing time is the time stamp of the file signed, whatever
// SOURCE_DATE_EPOCH says when it is signed: a copy linked under another
// day's SOURCE_DATE_EPOCH (its stamp patched here) signs with that day, and
// the same file signed twice gives the same bytes.
TEST_F(Inspect, SignedCopyCarriesTheFilesTimeVerifiesAndReadsAsTheUnsignedOne) {
    const std::string d = dir_.string();
    const std::string make =
        "cd '" + d + "' && "
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 -subj /CN=Throwaway-CA "
        "-addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign && "
        "openssl req -newkey rsa:2048 -nodes -keyout key.pem -out signer.csr -subj /CN=Velmora-Utilities && "
        "printf 'basicConstraints=CA:FALSE\\nkeyUsage=critical,digitalSignature\\nextendedKeyUsage=codeSigning\\n' "
        ">signer.ext && "
        "openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -extfile signer.ext "
        "-out cert.pem";
    ASSERT_EQ(system(("(" + make + ") >'" + d + "/openssl.log' 2>&1").c_str()), 0) << "openssl failed; see " << d << "/openssl.log";
    const std::string sign = "cd '" + d + "' && SIGN_CERT=cert.pem SIGN_KEY=key.pem SIGN_PKCS12= SOURCE_DATE_EPOCH=";
    const std::string script = " '" PORTAVO_SOURCE_DIR "/scripts/sign' ";
    // 2006-12-23 04:02:00 is the release time of resources/product.ini;
    // 1300000000 is 2011-03-13.
    ASSERT_EQ(system((sign + "1300000000" + script + "'" + kSetup + "' signed.exe >/dev/null").c_str()), 0);
    EXPECT_EQ(SigningTime(dir_, "signed.exe"), "Dec 23 04:02:00 2006 GMT");
    std::vector<uint8_t> otherDay = bytes_;
    uint32_t pe;
    memcpy(&pe, &otherDay[0x3C], 4);
    Put32(&otherDay, pe + 8, 1000000000);  // 2001-09-09 01:46:40
    Copy("other-day.exe", otherDay);
    ASSERT_EQ(system((sign + script + "other-day.exe other-day-signed.exe >/dev/null").c_str()), 0);
    EXPECT_EQ(SigningTime(dir_, "other-day-signed.exe"), "Sep  9 01:46:40 2001 GMT");
    const std::vector<uint8_t> signedBytes = ReadAll(dir_ / "signed.exe");
    ASSERT_EQ(system((sign + script + "'" + kSetup + "' signed-again.exe >/dev/null").c_str()), 0);
    EXPECT_TRUE(ReadAll(dir_ / "signed-again.exe") == signedBytes) << "signing the same file twice gave other bytes";
    const std::string verify = "cd '" + d + "' && osslsigncode verify -CAfile ca.pem -in ";

    const std::string path = (dir_ / "signed.exe").string();
    Result r = RunCommand([&](FILE* out, FILE* err) { return ListCommand(path, out, err); });
    Result unsignedList = RunCommand([](FILE* out, FILE* err) { return ListCommand(kSetup, out, err); });
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string table = ProductTableText(Shipped());
    EXPECT_EQ(r.out.substr(0, table.size()), table);
    const size_t signature = r.out.find("Signature: Authenticode, ");
    ASSERT_NE(signature, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(0, signature), unsignedList.out.substr(0, unsignedList.out.find("Signature: ")));
    r = RunCommand([&](FILE* out, FILE* err) { return VerifyCommand(path, out, err); });
    EXPECT_EQ(r.status, 0) << r.err;
    const fs::path out = dir_ / "out";
    r = RunCommand([&](FILE* o, FILE* err) { return ExtractCommand(path, out.string(), o, err); });
    ASSERT_EQ(r.status, 0) << r.err;
    for (int i = 0; i < g_product.fileCount; ++i)
        EXPECT_TRUE(ReadAll(out / g_product.files[i].fileName) == ReadAll(PayloadSource(g_product.files[i].fileName)))
            << g_product.files[i].fileName;

    // One byte of the program's code changed: the signature no longer holds.
    std::vector<uint8_t> flipped = signedBytes;
    flipped[image_.pe.sections[0].rawOffset + 0x100] ^= 0x01;
    Copy("flipped.exe", flipped);
    EXPECT_NE(system((verify + "flipped.exe >/dev/null 2>&1").c_str()), 0) << "a changed file still verifies";
    // A certificate table cut short is a damaged file, not a shorter one.
    const std::string cut = Copy("cut.exe", std::vector<uint8_t>(signedBytes.begin(), signedBytes.end() - 1));
    r = RunCommand([&](FILE* o, FILE* err) { return VerifyCommand(cut, o, err); });
    EXPECT_EQ(r.status, kInspectBadInput);
    EXPECT_NE(r.err.find("truncated: the certificate table"), std::string::npos) << r.err;
}

TEST_F(Inspect, ToolListsVerifiesAndExtractsTheBuiltSetup) {
    const std::string table = dir_ / "table.txt";
    ASSERT_EQ(system((kTool + " list '" + kSetup + "' >'" + table + "'").c_str()), 0);
    const std::vector<uint8_t> listed = ReadAll(table);
    const std::string expected = ProductTableText(Shipped());
    EXPECT_EQ(std::string(listed.begin(), listed.begin() + std::min(listed.size(), expected.size())), expected);

    ASSERT_EQ(system((kTool + " verify '" + kSetup + "' >'" + table + "'").c_str()), 0);
    const std::vector<uint8_t> verified = ReadAll(table);
    EXPECT_EQ(std::count(verified.begin(), verified.end(), '\n'), g_product.fileCount + 1);

    const fs::path out = dir_ / "out" / "deeper";
    ASSERT_EQ(system((kTool + " extract '" + kSetup + "' '" + out.string() + "' >/dev/null").c_str()), 0);
    const time_t stamp = ReleaseTimeStamp(g_product.releaseTime);
    int files = 0;
    for (const auto& e : fs::directory_iterator(out)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, g_product.fileCount);
    for (int i = 0; i < g_product.fileCount; ++i) {
        const char* name = g_product.files[i].fileName;
        const fs::path written = out / name;
        EXPECT_TRUE(ReadAll(written) == ReadAll(PayloadSource(name))) << name << " differs from its payload file";
        struct stat st;
        ASSERT_EQ(stat(written.c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mtime, stamp) << name;
    }
}

// Each damage is caught by verify with one line on stderr and status 1, and
// extract then writes nothing.
TEST_F(Inspect, VerifyAndExtractFailOnDamagedPayload) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>*)> damage;
        const char* message;
    } cases[] = {
        {"first payload byte flipped", [&](std::vector<uint8_t>* b) { (*b)[Payload(0).offset] ^= 0x01; },
         "Parvunin.exe: "},
        {"middle payload byte flipped",
         [&](std::vector<uint8_t>* b) { (*b)[Payload(2).offset + Payload(2).size / 2] ^= 0x40; },
         "Trovado Pro.exe: "},
        {"payload byte near the end flipped",
         [&](std::vector<uint8_t>* b) { (*b)[Payload(9).offset + Payload(9).size - 2] ^= 0xFF; },
         "TrovadoCtx.dll: "},
        {"unpacked size one more than the stream gives",
         [&](std::vector<uint8_t>* b) {
             Put32(b, EntryField(6, offsetof(FileEntry, unpackedSize)), g_product.files[6].unpackedSize + 1);
         },
         "Read Me.txt: "},
        {"unpacked size smaller than the stream gives",
         [&](std::vector<uint8_t>* b) {
             Put32(b, EntryField(7, offsetof(FileEntry, unpackedSize)), g_product.files[7].unpackedSize / 2);
         },
         "Order.txt: the stream gives its 988 bytes from "},
        {"packed size not the resource's",
         [&](std::vector<uint8_t>* b) {
             Put32(b, EntryField(8, offsetof(FileEntry, packedSize)), Shipped().files[8].packedSize - 1);
         },
         "RegInfo.txt: resource REGINFO holds 754 bytes, the packed size is 753"},
        {"checksum changed",
         [&](std::vector<uint8_t>* b) {
             const PeResource* r = image_.pe.FindNamed(kResourceTypeRcdata, "CHECKSUMS");
             (*b)[r->offset + 8 + 20 * 3 + 16] ^= 0x01;  // entry 3's CRC
         },
         "Trovado Indexer.exe: CRC-32 "},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir_ / "out");
        std::vector<uint8_t> bytes = bytes_;
        c.damage(&bytes);
        const std::string path = Copy("damaged.exe", bytes);
        Result r = RunCommand([&](FILE* out, FILE* err) { return VerifyCommand(path, out, err); });
        EXPECT_EQ(r.status, kInspectFailed) << c.what;
        EXPECT_EQ(Lines(r.err), 1u) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find("1 of 10 payload files failed verification; first "), std::string::npos)
            << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;

        const fs::path out = dir_ / "out";
        r = RunCommand([&](FILE* o, FILE* err) { return ExtractCommand(path, out.string(), o, err); });
        EXPECT_EQ(r.status, kInspectFailed) << c.what;
        EXPECT_NE(r.err.find("nothing extracted"), std::string::npos) << c.what << ": " << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.what;
    }
}

// Files that are not a setup program built here, or are damaged beyond the
// payload, stop every command with one line and status 2.
TEST_F(Inspect, RejectsFilesThatAreNotAnIntactSetupProgram) {
    struct Case {
        const char* what;
        std::function<std::vector<uint8_t>()> make;
        const char* message;
    } cases[] = {
        {"text file", [] { return std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'}; },
         "not a PE file: it does not start with \"MZ\""},
        {"empty file", [] { return std::vector<uint8_t>(); }, "not a PE file"},
        {"MZ header only", [&] { return std::vector<uint8_t>(bytes_.begin(), bytes_.begin() + 64); },
         "lies past the end"},
        {"truncated in the resources",
         [&] { return std::vector<uint8_t>(bytes_.begin(), bytes_.begin() + bytes_.size() / 2); },
         "truncated: section .rsrc ends at byte "},
        {"truncated by one byte", [&] { return std::vector<uint8_t>(bytes_.begin(), bytes_.end() - 1); },
         "truncated: section "},
        {"PE signature damaged",
         [&] {
             std::vector<uint8_t> b = bytes_;
             uint32_t pe;
             memcpy(&pe, &b[0x3C], 4);
             b[pe + 1] = 'X';
             return b;
         },
         "no \"PE\" signature"},
        {"record wiped",
         [&] {
             std::vector<uint8_t> b = bytes_;
             memset(&b[image_.recordOffset], 0, sizeof(ProductConfig));
             return b;
         },
         "no product record in the file"},
        {"record names a resource the file lacks",
         [&] {
             std::vector<uint8_t> b = bytes_;
             b[EntryField(4, offsetof(FileEntry, resourceName))] = 'X';
             return b;
         },
         "names RCDATA resource \"XELPFILE\", which the file does not have"},
        {"resource pointing outside the file",
         [&] {
             std::vector<uint8_t> b = bytes_;
             Put32(&b, DataEntry(Payload(5)), 0x7FFFFFF0u);
             return b;
         },
         "points outside the file"},
        {"resource longer than its section",
         [&] {
             std::vector<uint8_t> b = bytes_;
             Put32(&b, DataEntry(Payload(1)) + 4, 0x01000000u);
             return b;
         },
         "points outside the file"},
        {"no checksum table",
         [&] {
             std::vector<uint8_t> b = bytes_;
             const PeResource* r = image_.pe.FindNamed(kResourceTypeRcdata, "CHECKSUMS");
             memset(&b[r->offset], 0, 4);
             return b;
         },
         "the checksum table does not start with"},
    };
    for (const Case& c : cases) {
        const std::string path = Copy("bad.exe", c.make());
        const fs::path out = dir_ / "out";
        for (const char* command : {"list", "verify", "extract"}) {
            Result r = RunCommand([&](FILE* o, FILE* err) {
                if (!strcmp(command, "list")) return ListCommand(path, o, err);
                if (!strcmp(command, "verify")) return VerifyCommand(path, o, err);
                return ExtractCommand(path, out.string(), o, err);
            });
            // list reads no payload, so the missing checksum table stops only the others.
            if (!strcmp(command, "list") && strstr(c.message, "checksum")) {
                EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
                continue;
            }
            EXPECT_EQ(r.status, kInspectBadInput) << command << ", " << c.what;
            EXPECT_EQ(Lines(r.err), 1u) << command << ", " << c.what << ": " << r.err;
            EXPECT_NE(r.err.find(c.message), std::string::npos) << command << ", " << c.what << ": " << r.err;
            EXPECT_EQ(r.out, "") << command << ", " << c.what;
            EXPECT_FALSE(fs::exists(out)) << command << ", " << c.what;
        }
    }
    // The tool itself: a status of 2, not a crash, and usage on bad arguments.
    const std::string missing = (dir_ / "missing.exe").string();
    int status = system((kTool + " verify '" + missing + "' 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    status = system((kTool + " unpack '" + kSetup + "' 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

// Another product, laid out as the build lays one out, read the same way.
class InspectSample : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/portavo-inspect-sample-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    fs::path dir_;
};

TEST_F(InspectSample, ListsVerifiesAndExtractsAnotherProduct) {
    const std::vector<SampleFile> files = SampleFiles();
    const SampleSetup sample = MakeSampleSetup(files);
    const std::string path = (dir_ / "sample.exe").string();
    WriteAll(path, sample.image);

    Result r = RunCommand([&](FILE* out, FILE* err) { return ListCommand(path, out, err); });
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string table = ProductTableText(sample.record);
    EXPECT_EQ(r.out.substr(0, table.size()), table) << r.out;
    EXPECT_NE(r.out.find("file version 1.5.0.0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  ProductName        Sample Tool\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("product record at file offset 0x204"), std::string::npos) << r.out;

    r = RunCommand([&](FILE* out, FILE* err) { return VerifyCommand(path, out, err); });
    EXPECT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(Lines(r.out), files.size() + 1) << r.out;

    const fs::path out = dir_ / "out";
    r = RunCommand([&](FILE* o, FILE* err) { return ExtractCommand(path, out.string(), o, err); });
    ASSERT_EQ(r.status, 0) << r.err;
    for (const SampleFile& f : files) EXPECT_TRUE(ReadAll(out / f.name) == f.bytes) << f.name;
    EXPECT_EQ(fs::file_size(out / "empty.dat"), 0u);
}

TEST_F(InspectSample, RefusesAmbiguousRecordsUnsafeNamesAndEveryTruncation) {
    const std::string path = (dir_ / "sample.exe").string();
    const fs::path out = dir_ / "out";
    WriteAll(path, MakeSampleSetup(SampleFiles(), 2).image);
    Result r = RunCommand([&](FILE* o, FILE* err) { return ListCommand(path, o, err); });
    EXPECT_EQ(r.status, kInspectBadInput);
    EXPECT_NE(r.err.find("found 2 product records"), std::string::npos) << r.err;

    for (const char* name : {"../escape.txt", "..", "sub/file.txt", "C:file.txt"}) {
        std::vector<SampleFile> files = SampleFiles();
        files[1].name = name;
        WriteAll(path, MakeSampleSetup(files).image);
        r = RunCommand([&](FILE* o, FILE* err) { return ExtractCommand(path, out.string(), o, err); });
        EXPECT_EQ(r.status, kInspectBadInput) << name;
        EXPECT_NE(r.err.find("is not a plain file name"), std::string::npos) << name << ": " << r.err;
        EXPECT_FALSE(fs::exists(out)) << name;
        EXPECT_FALSE(fs::exists(dir_ / "escape.txt")) << name;
    }
    std::vector<SampleFile> files = SampleFiles();
    files[2].name = files[0].name;
    WriteAll(path, MakeSampleSetup(files).image);
    r = RunCommand([&](FILE* o, FILE* err) { return ExtractCommand(path, out.string(), o, err); });
    EXPECT_NE(r.err.find("two entries are named \"sample.exe\""), std::string::npos) << r.err;

    // Every proper prefix of the file is refused, with a reason.
    const std::vector<uint8_t> whole = MakeSampleSetup(SampleFiles()).image;
    for (size_t size = 0; size < whole.size(); ++size) {
        PeImage pe;
        std::string why;
        EXPECT_FALSE(pe.Read(whole.data(), size, &why)) << size;
        EXPECT_FALSE(why.empty()) << size;
    }
}

}  // namespace
