// Loading the settings from whatever the registry and the ini file hold: values of any type and
// size, texts without their terminators, rows missing. Every variable stays inside its buffer and
// well formed, the result says what the stores held, and what is then saved loads back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/memory_backend.h"
#include "config/settings_store.h"
#include "tests/fuzz/fuzz_support.h"
#include "ui/main_settings.h"

namespace {

const char* const INI = "C:\\fuzz\\Kelvast.ini";
// The program's rows as one run of the dialog builds them.
const MainSettings program_settings;
const SettingEntry* const settings_table = program_settings.rows;
constexpr uint32_t REG_BINARY_TYPE = 3;  // a type the store passes over

// The program's six rows over variables of their real sizes, and rows of the other shapes.
struct Variables {
    std::vector<std::unique_ptr<uint32_t[]>> numbers;
    std::unique_ptr<char[]> history{new char[HISTORY_BUFFER_SIZE]};
    std::unique_ptr<char[]> text;
    std::unique_ptr<char[]> small_multi;
    std::unique_ptr<char[]> binary{new char[1]};
    std::vector<SettingEntry> rows;
};

struct Shape {
    uint32_t text_size;
    uint32_t multi_size;
    uint32_t list_count;
    uint32_t list_flags;
    const char* text_section;
};

Variables make_variables(const Shape& shape) {
    Variables v;
    for (int i = 0; i < 6; ++i) {
        const uint32_t count = i < 5 ? 1 : shape.list_count;
        v.numbers.emplace_back(new uint32_t[count]);
        for (uint32_t k = 0; k < count; ++k) {
            v.numbers.back()[k] = 1000u + static_cast<uint32_t>(i) + k;
        }
    }
    memset(v.history.get(), 0, HISTORY_BUFFER_SIZE);
    memcpy(v.history.get(), "init", 4);
    v.text.reset(new char[shape.text_size]);
    memset(v.text.get(), 0, shape.text_size);
    v.small_multi.reset(new char[shape.multi_size]);
    memset(v.small_multi.get(), 0, shape.multi_size);
    v.binary[0] = 'b';
    for (int i = 0; i < 5; ++i) {
        SettingEntry row = settings_table[i];
        row.data = v.numbers[i].get();
        v.rows.push_back(row);
    }
    SettingEntry history_row = settings_table[5];
    history_row.data = v.history.get();
    v.rows.push_back(history_row);
    v.rows.push_back({shape.text_section, "Text", REG_SZ, SF_OVERWRITE, v.text.get(), shape.text_size});
    v.rows.push_back({"Settings", "Multi", REG_MULTI_SZ, SF_OVERWRITE, v.small_multi.get(), shape.multi_size});
    v.rows.push_back(
        {"Window", "List", REG_DWORD, SF_OVERWRITE | shape.list_flags, v.numbers[5].get(), shape.list_count});
    v.rows.push_back({"Settings", "Binary", REG_BINARY_TYPE, SF_OVERWRITE, v.binary.get(), 1});
    return v;
}

std::string key_of(const SettingEntry& row) {
    return row.section[0] == '\0' ? std::string(REGISTRY_KEY_PATH)
                                  : std::string(REGISTRY_KEY_PATH) + "\\" + row.section;
}

bool known_type(uint32_t type) {
    return type == REG_SZ || type == REG_DWORD || type == REG_MULTI_SZ;
}

// Whether the registry lets this row be read: its key exists and the value fits its variable.
bool registry_row_readable(MemorySettingsBackend& backend, const SettingEntry& row) {
    const std::string key = key_of(row);
    if (key.size() >= KEY_PATH_SIZE || backend.keys.count(key) == 0) {
        return false;
    }
    if (!known_type(row.type)) {
        return true;
    }
    const auto value = backend.keys[key].find(row.name);
    if (value == backend.keys[key].end()) {
        return false;
    }
    const std::string& bytes = value->second.second;
    if (row.type == REG_DWORD) {
        return (row.flags & SF_NUMBER_LIST) ? bytes.size() <= SETTINGS_SCRATCH_SIZE : bytes.size() == 4;
    }
    return bytes.size() <= row.size;
}

bool ini_row_present(MemorySettingsBackend& backend, const SettingEntry& row) {
    return row.section[0] != '\0' && backend.profiles[INI].count({row.section, row.name}) != 0;
}

// The rows' values as one text; numbers in full, texts to their zero byte, multi-strings to their pair.
std::string values_of(const Variables& v) {
    std::string out;
    for (const SettingEntry& row : v.rows) {
        if (row.type == REG_DWORD) {
            const uint32_t count = (row.flags & SF_NUMBER_LIST) ? row.size : 1;
            out.append(static_cast<const char*>(row.data), count * sizeof(uint32_t));
        } else if (row.type == REG_SZ) {
            out += static_cast<const char*>(row.data);
        } else if (row.type == REG_MULTI_SZ) {
            out += closed_multi_string(static_cast<const char*>(row.data), row.size);
        } else {
            out += *static_cast<const char*>(row.data);
        }
        out += '|';
    }
    return out;
}

void check_well_formed(const Variables& v) {
    for (const SettingEntry& row : v.rows) {
        if (row.type == REG_SZ) {
            FUZZ_CHECK(terminated_within(static_cast<const char*>(row.data), row.size));
        } else if (row.type == REG_MULTI_SZ) {
            FUZZ_CHECK(!closed_multi_string(static_cast<const char*>(row.data), row.size).empty());
        }
    }
    FUZZ_CHECK(v.binary[0] == 'b');
}

SettingsStore store_over(Variables& v, uint32_t mode) {
    return {ROOT_CURRENT_USER, REGISTRY_KEY_PATH, INI, v.rows.data(), mode, static_cast<uint32_t>(v.rows.size())};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Shape shape{};
    shape.text_size = input.ConsumeIntegralInRange<uint32_t>(1, 300);
    shape.multi_size = input.ConsumeIntegralInRange<uint32_t>(2, 64);
    shape.list_count = input.ConsumeIntegralInRange<uint32_t>(1, 8);
    shape.list_flags = SF_NUMBER_LIST | (input.ConsumeBool() ? SF_HEX : 0);
    // An empty section puts the value in the program's key itself and has no place in an ini file;
    // a long one makes a key path that does not fit.
    const char* sections[] = {"Settings", "", "A section name far too long to be appended to the program's key path"};
    shape.text_section = sections[input.ConsumeIntegralInRange<int>(0, 2)];
    const uint32_t mode = input.ConsumeIntegralInRange<uint32_t>(0, 15) & (MODE_READ_REGISTRY | MODE_READ_INI);

    Variables v = make_variables(shape);
    MemorySettingsBackend backend;
    for (const SettingEntry& row : v.rows) {
        const uint8_t where = input.ConsumeIntegral<uint8_t>();
        if (where & 1) {
            const uint32_t types[] = {REG_SZ, REG_DWORD, REG_MULTI_SZ, REG_BINARY_TYPE, row.type};
            const uint32_t type = types[(where >> 2) % 5];
            backend.keys[key_of(row)][row.name] = {type, input.ConsumeRandomLengthString(3000)};
        }
        if (where & 2) {
            backend.write_profile(row.section, row.name, input.ConsumeRandomLengthString(6000).c_str(), INI);
        }
    }

    const std::string before = values_of(v);
    SettingsStore store = store_over(v, mode);
    const bool loaded = load_settings(store, backend);
    check_well_formed(v);
    bool expected = false;
    if (mode & MODE_READ_INI) {
        expected = true;
        for (const SettingEntry& row : v.rows) {
            expected = expected && (!known_type(row.type) || ini_row_present(backend, row));
        }
    } else if (mode & MODE_READ_REGISTRY) {
        expected = true;
        for (const SettingEntry& row : v.rows) {
            expected = expected && registry_row_readable(backend, row);
        }
    }
    FUZZ_CHECK(loaded == expected);
    // Each row is marked read exactly when one of the stores read gave it.
    for (const SettingEntry& row : v.rows) {
        const bool from_registry = (mode & MODE_READ_REGISTRY) && registry_row_readable(backend, row);
        const bool from_ini = (mode & MODE_READ_INI) && known_type(row.type) && ini_row_present(backend, row);
        FUZZ_CHECK(row.loaded == (from_registry || from_ini));
    }
    if (mode == 0) {
        FUZZ_CHECK(values_of(v) == before);
    }
    FUZZ_CHECK(backend.open.empty());

    // Whatever was loaded is saved to both stores and read back, from each on its own.
    MemorySettingsBackend saved;
    SettingsStore save_store = store_over(v, MODE_WRITE_REGISTRY | MODE_WRITE_INI);
    save_settings(save_store, saved);
    const std::string values = values_of(v);
    const bool text_key_fits = key_of(v.rows[6]).size() < KEY_PATH_SIZE;
    const bool text_in_ini = shape.text_section[0] != '\0';
    for (uint32_t read_mode : {MODE_READ_REGISTRY, MODE_READ_INI}) {
        Variables w = make_variables(shape);
        SettingsStore read_store = store_over(w, read_mode);
        const bool again = load_settings(read_store, saved);
        check_well_formed(w);
        FUZZ_CHECK(again == (read_mode == MODE_READ_REGISTRY ? text_key_fits : text_in_ini));
        if (again) {
            FUZZ_CHECK(values_of(w) == values);
        }
    }
    FUZZ_CHECK(saved.open.empty());
    return 0;
}
