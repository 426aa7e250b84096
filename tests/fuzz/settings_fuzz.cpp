// Settings loaded from whatever the stores hold stay well formed in their blocks and save to load back.
#include "config/setting_text.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/memory_backend.h"
#include "ui/main_settings.h"

static const MainSettings program;  // its rows and their starting values

static size_t bytes_of(const SettingEntry& row) {
    return row.type == REG_DWORD ? number_count(row) * sizeof(uint32_t) : row.size;
}

static std::string value_of(const SettingEntry& row) {
    const char* bytes = static_cast<const char*>(row.data);
    const std::string closed = closed_multi_string(bytes, row.size);
    FUZZ_CHECK((row.type != REG_SZ || memchr(bytes, '\0', row.size)) && (row.type != REG_MULTI_SZ || !closed.empty()));
    return row.type == REG_SZ ? bytes : row.type == REG_MULTI_SZ ? closed : std::string(bytes, bytes_of(row));
}

struct Variables {  // the program's rows over blocks of exactly their variables' sizes
    std::vector<SettingEntry> rows;
    std::vector<ExactBuffer> blocks;
    Variables() : rows(program.rows, program.rows + SETTINGS_ROW_COUNT) {
        for (SettingEntry& row : rows) {
            blocks.emplace_back(bytes_of(row));
            row.data = memcpy(blocks.back().data(), row.data, bytes_of(row));
        }
    }
    void use(MemorySettingsBackend& backend, uint32_t mode) {  // reads or writes as the mode says
        SettingsStore store{ROOT_CURRENT_USER, REGISTRY_KEY_PATH, "Kelvast.ini", rows.data(), mode, SETTINGS_ROW_COUNT};
        load_settings(store, backend);
        save_settings(store, backend);
        FUZZ_CHECK(backend.open.empty());
    }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    MemorySettingsBackend stored, saved;
    Variables loaded;
    for (const SettingEntry& row : loaded.rows) {
        const uint8_t where = input.ConsumeIntegral<uint8_t>();
        if (where & 1) {
            const std::string key = std::string(REGISTRY_KEY_PATH) + (row.section[0] ? "\\" : "") + row.section;
            std::string value = input.ConsumeRandomLengthString(3000);  // or at its block's size, give or take one
            value.resize(where & 4 ? bytes_of(row) + (where >> 3) % 3 - 1 : value.size(), 'x');
            stored.keys[key][row.name] = {row.type, value};
        }
        if (where & 2) {
            stored.write_profile(row.section, row.name, input.ConsumeRandomLengthString(6000).c_str(), "Kelvast.ini");
        }
    }
    loaded.use(stored, input.ConsumeIntegral<uint8_t>() & (MODE_READ_REGISTRY | MODE_READ_INI));
    loaded.use(saved, MODE_WRITE_REGISTRY | MODE_WRITE_INI);
    for (uint32_t read_mode : {MODE_READ_REGISTRY, MODE_READ_INI}) {
        Variables again;
        again.use(saved, read_mode);
        for (uint32_t i = 0; i < SETTINGS_ROW_COUNT; ++i) {
            FUZZ_CHECK(again.rows[i].loaded && value_of(again.rows[i]) == value_of(loaded.rows[i]));
        }
    }
    return 0;
}
