#include "data_file.h"

#include <cstring>
#include <fstream>

namespace tarvogen {

namespace format = tarvo::data_format;

namespace {

format::date to_date(const std::optional<FileDate> &d, bool month_only) {
    if (!d)
        return {0, 0, 0};
    return {static_cast<uint16_t>(d->year), static_cast<uint8_t>(d->month),
            static_cast<uint8_t>(month_only ? 0 : d->day)};
}

format::date plus_days(const FileDate &d, long days) { return to_date(civil_from_days(days_from_civil(d) + days), false); }

constexpr long bundesbank_cycle_days = 13 * 7;

// Appends sections at aligned offsets and records where each went.
class Layout {
public:
    explicit Layout(format::header &h) : header_(h), bytes_(sizeof(format::header), '\0') {}

    template <typename T>
    void add(format::section_id id, const std::vector<T> &values) {
        add(id, values.data(), values.size() * sizeof(T));
    }
    void add(format::section_id id, const void *data, std::size_t size) {
        bytes_.resize((bytes_.size() + format::section_alignment - 1) / format::section_alignment *
                      format::section_alignment, '\0');
        if (bytes_.size() + size > UINT32_MAX)
            throw InputError("the data file would exceed 4 GiB");
        header_.sections[id] = {static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(size)};
        bytes_.append(static_cast<const char *>(data), size);
    }
    std::string finish() {
        header_.file_size = bytes_.size();
        std::memcpy(bytes_.data(), &header_, sizeof header_);
        const auto *p = reinterpret_cast<const unsigned char *>(bytes_.data());
        header_.checksum = format::crc32c(p + format::checksum_start, bytes_.size() - format::checksum_start);
        std::memcpy(bytes_.data(), &header_, sizeof header_);
        return std::move(bytes_);
    }

private:
    format::header &header_;
    std::string bytes_;
};

} // namespace

Editions editions_of(const SourceFiles &sources) {
    Editions e{};
    const auto &blz = sources.blz;
    for (std::size_t i = 0; i < blz.size() && i < 2; ++i) {
        auto &slot = e[i == 0 ? format::bundesbank : format::bundesbank_next];
        slot.issued = to_date(blz[i].edition, false);
        if (!blz[i].edition)
            continue;
        const bool has_next = i + 1 < blz.size() && blz[i + 1].edition;
        slot.valid_until = has_next ? plus_days(*blz[i + 1].edition, -1)
                                    : plus_days(*blz[i].edition, bundesbank_cycle_days - 1);
    }
    e[format::iban_rules].issued = to_date(sources.iban_rules.edition, sources.iban_rules.month_only);
    e[format::scl].issued = to_date(sources.scl.edition, sources.scl.month_only);
    e[format::oenb].issued = to_date(sources.oenb.edition, sources.oenb.month_only);
    e[format::six].issued = to_date(sources.six.edition, sources.six.month_only);
    return e;
}

int64_t build_time(const Editions &editions, std::optional<int64_t> source_date_epoch) {
    if (source_date_epoch)
        return *source_date_epoch;
    long newest = 0;
    for (const auto &e : editions)
        if (e.issued.year != 0)
            newest = std::max(newest, days_from_civil({e.issued.year, e.issued.month, e.issued.day ? e.issued.day : 1}));
    return static_cast<int64_t>(newest) * 86400;
}

std::string data_file_bytes(const HashedDirectory &hashed, const Editions &editions, int64_t built) {
    const Directory &dir = hashed.dir;
    const PerfectHash &h = hashed.hash;
    format::header header{};
    std::memcpy(header.magic, format::magic, sizeof header.magic);
    header.version = format::version;
    header.header_size = sizeof header;
    header.build_time = built;
    header.switch_instant = dir.switch_instant;
    header.records = static_cast<uint32_t>(dir.records.size());
    header.at_first = static_cast<uint32_t>(dir.bic_count);
    header.ch_first = static_cast<uint32_t>(dir.bic_count + dir.at_count);
    header.de_first = static_cast<uint32_t>(dir.bic_count + dir.at_count + dir.ch_count);
    header.vertices = h.vertices;
    header.hash_positions = hash_positions;
    header.hash_chars = hash_chars;
    header.second_versions = static_cast<uint32_t>(dir.second_versions);
    std::copy(editions.begin(), editions.end(), header.editions);

    std::string text;
    std::vector<uint32_t> offsets;
    for (const auto &record : dir.records) {
        offsets.push_back(static_cast<uint32_t>(text.size()));
        text += record;
        text += '\0'; // the lookups read a record's last field up to its NUL
    }
    offsets.push_back(static_cast<uint32_t>(text.size()));

    Layout layout(header);
    layout.add(format::t0, h.t0);
    layout.add(format::t1, h.t1);
    layout.add(format::t2, h.t2);
    layout.add(format::g, h.g);
    layout.add(format::method_older, dir.methods_older);
    layout.add(format::method_newer, dir.methods_newer);
    layout.add(format::german_code, dir.german_codes);
    layout.add(format::record_offsets, offsets);
    layout.add(format::record_text, text.data(), text.size());
    return layout.finish();
}

void write_data_file(const SourceFiles &sources, const std::filesystem::path &out,
                     std::optional<int64_t> source_date_epoch) {
    const Editions editions = editions_of(sources);
    const std::string bytes = data_file_bytes(hash_directory(build_directory(sources)), editions,
                                              build_time(editions, source_date_epoch));
    // Written beside the target and renamed over it, so that a reader never maps half a file.
    auto temporary = out;
    temporary += ".partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush())
            throw InputError(temporary.string() + ": cannot be written");
    }
    std::error_code ec;
    std::filesystem::rename(temporary, out, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw InputError(out.string() + ": cannot be written");
    }
}

} // namespace tarvogen
