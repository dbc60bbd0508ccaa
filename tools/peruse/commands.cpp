#include "tools/peruse/commands.h"

#include "tools/config/table.h"
#include "tools/peruse/setup_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <vector>

namespace fs = std::filesystem;

time_t ReleaseTimeStamp(const ReleaseTime& t) {
    struct tm local = {};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    return mktime(&local);
}

namespace {

int Fail(FILE* err, const std::string& file, const std::string& why, int status) {
    fprintf(err, "portavo-inspect: %s: %s\n", file.c_str(), why.c_str());
    return status;
}

// Decodes and checks every entry. Prints one line per entry when out is set.
// Returns how many failed; first says why the first one did.
int CheckAll(const SetupImage& image, const std::vector<FileChecksum>& checksums,
             std::vector<std::vector<uint8_t>>* files, FILE* out, std::string* first) {
    int failed = 0;
    files->assign(image.record.fileCount, {});
    for (int i = 0; i < image.record.fileCount; ++i) {
        const FileEntry& f = image.record.files[i];
        std::string why;
        if (CheckPayload(image, i, checksums[i], &(*files)[i], &why)) {
            if (out)
                fprintf(out, "ok    %-24s %-16s %9u -> %9u bytes, CRC-32 %08X\n", f.fileName, f.resourceName,
                        f.packedSize, f.unpackedSize, checksums[i].crc);
        } else {
            if (out) fprintf(out, "FAIL  %-24s %-16s %s\n", f.fileName, f.resourceName, why.c_str());
            if (failed++ == 0) *first = std::string(f.fileName) + ": " + why;
        }
    }
    return failed;
}

std::string VersionText(const uint16_t v[4]) {
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

// Writes bytes to path through a temporary file, stamped with the release time
// (a local time, as the installer takes it).
bool WriteStamped(const fs::path& path, const std::vector<uint8_t>& bytes, const ReleaseTime& t, std::string* why) {
    fs::path temp = path;
    temp += ".portavo-tmp";
    FILE* f = fopen(temp.c_str(), "wb");
    if (!f) {
        *why = "cannot create " + temp.string() + ": " + strerror(errno);
        return false;
    }
    const bool written = (bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    if (fclose(f) != 0 || !written) {
        *why = "cannot write " + temp.string();
        unlink(temp.c_str());
        return false;
    }
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ReleaseTimeStamp(t);
    times[0].tv_nsec = times[1].tv_nsec = long(t.milliseconds) * 1000000;
    if (utimensat(AT_FDCWD, temp.c_str(), times, 0) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
        *why = "cannot stamp or rename " + temp.string() + ": " + strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int ListCommand(const std::string& setup, FILE* out, FILE* err) {
    SetupImage image;
    std::string why;
    if (!OpenSetup(setup, &image, &why)) return Fail(err, setup, why, kInspectBadInput);
    fputs(ProductTableText(image.record).c_str(), out);
    VersionInfo version;
    if (ReadVersionInfo(image, &version, &why)) {
        fprintf(out, "\nVersion resource: file version %s, product version %s\n",
                VersionText(version.fileVersion).c_str(), VersionText(version.productVersion).c_str());
        for (const auto& s : version.strings) fprintf(out, "  %-18s %s\n", s.first.c_str(), s.second.c_str());
    } else {
        fprintf(out, "\nVersion resource: %s\n", why.c_str());
    }
    const time_t stamp = image.pe.timeStamp;
    char when[32];
    strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", gmtime(&stamp));
    fprintf(out, "PE time stamp %s UTC; product record at file offset 0x%X\n", when, image.recordOffset);
    fprintf(out, "Requested execution level: %s\n", ExecutionLevel(image).c_str());
    const PeImage& pe = image.pe;
    if (pe.certificateSize == 0)
        fprintf(out, "Signature: none\n");
    else if (pe.certificateType == kCertificateTypePkcsSignedData)
        fprintf(out, "Signature: Authenticode, %u bytes\n", pe.certificateSize);
    else
        fprintf(out, "Signature: certificate type %u, %u bytes\n", pe.certificateType, pe.certificateSize);
    return kInspectOk;
}

int VerifyCommand(const std::string& setup, FILE* out, FILE* err) {
    SetupImage image;
    std::vector<FileChecksum> checksums;
    std::string why;
    if (!OpenSetup(setup, &image, &why) || !ReadChecksums(image, &checksums, &why))
        return Fail(err, setup, why, kInspectBadInput);
    std::vector<std::vector<uint8_t>> files;
    const int failed = CheckAll(image, checksums, &files, out, &why);
    if (failed)
        return Fail(err, setup,
                    std::to_string(failed) + " of " + std::to_string(image.record.fileCount) +
                        " payload files failed verification; first " + why,
                    kInspectFailed);
    fprintf(out, "verify: all %d payload files check out\n", image.record.fileCount);
    return kInspectOk;
}

int ExtractCommand(const std::string& setup, const std::string& dir, FILE* out, FILE* err) {
    SetupImage image;
    std::vector<FileChecksum> checksums;
    std::string why;
    if (!OpenSetup(setup, &image, &why) || !ReadChecksums(image, &checksums, &why))
        return Fail(err, setup, why, kInspectBadInput);
    // Names come from the file, so only plain, distinct names are written.
    std::set<std::string> names;
    for (int i = 0; i < image.record.fileCount; ++i) {
        const std::string name = image.record.files[i].fileName;
        if (name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos)
            return Fail(err, setup, "entry " + std::to_string(i) + ": \"" + name + "\" is not a plain file name",
                        kInspectBadInput);
        if (!names.insert(name).second)
            return Fail(err, setup, "two entries are named \"" + name + "\"", kInspectBadInput);
    }
    // Every file is checked before the first is written.
    std::vector<std::vector<uint8_t>> files;
    const int failed = CheckAll(image, checksums, &files, nullptr, &why);
    if (failed)
        return Fail(err, setup,
                    std::to_string(failed) + " payload files failed verification, nothing extracted; first " + why,
                    kInspectFailed);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return Fail(err, dir, "cannot create the folder", kInspectBadInput);
    for (int i = 0; i < image.record.fileCount; ++i) {
        const fs::path path = fs::path(dir) / image.record.files[i].fileName;
        if (!WriteStamped(path, files[i], image.record.releaseTime, &why)) return Fail(err, dir, why, kInspectBadInput);
    }
    fprintf(out, "extracted %d files to %s\n", image.record.fileCount, dir.c_str());
    return kInspectOk;
}
