/* Fills a CameraConfigRecord from the scanner's events. */
#include "korvane_config_parser.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

enum {
    REGISTER_GROWTH = 100, /* register entries are allocated 100 at a time */
    LIST_SIZE = 1024,      /* a value never exceeds one read of the scanner */
};

typedef struct SectionCode {
    const char* name;
    uint32_t code;
} SectionCode;

static const SectionCode SECTIONS[] = {
    {"camera parameter", KORVANE_SECTION_CAMERA},
    {"board parameter", KORVANE_SECTION_BOARD},
    {"board parameter||dev2", KORVANE_SECTION_BOARD_DEV2},
    {"board parameter||dev3||inf3", KORVANE_SECTION_BOARD_DEV3_INF3},
    {"board parameter||dev3||inf2", KORVANE_SECTION_BOARD_DEV3_INF2},
    {"register parameter", KORVANE_SECTION_REGISTER},
    {"register parameter||dev3||inf3", KORVANE_SECTION_REGISTER_DEV3_INF3},
    {"register parameter||dev3||inf2", KORVANE_SECTION_REGISTER_DEV3_INF2},
    {"control parameter", KORVANE_SECTION_CONTROL},
};

static uint32_t section_code(const char* section) {
    for (size_t i = 0; i < sizeof SECTIONS / sizeof SECTIONS[0]; i++) {
        if (strcmp(section, SECTIONS[i].name) == 0) return SECTIONS[i].code;
    }
    return 0;
}

/* Base 16 when the first non-blank characters are 0x or 0X, else base 10. */
static int number_base(const char* text) {
    while (isspace((unsigned char)*text)) text++;
    return text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 16 : 10;
}

static int32_t to_int32(const char* text) { return (int32_t)strtol(text, NULL, number_base(text)); }

static int64_t to_int64(const char* text) { return (int64_t)strtoll(text, NULL, number_base(text)); }

/* Splits a comma list and converts each token; keeps at most 16 values and returns the
 * number of tokens (0 for an empty value). */
static size_t parse_list(const char* value, int32_t out[KORVANE_CONFIG_MAX_VALUES]) {
    if (value[0] == '\0') return 0;
    char copy[LIST_SIZE];
    strncpy(copy, value, sizeof copy - 1);
    copy[sizeof copy - 1] = '\0';
    size_t tokens = 0;
    char* token = copy;
    for (;;) {
        char* comma = strchr(token, ',');
        if (comma != NULL) *comma = '\0';
        if (tokens < KORVANE_CONFIG_MAX_VALUES) out[tokens] = to_int32(token);
        tokens++;
        if (comma == NULL) return tokens;
        token = comma + 1;
    }
}

static void copy_text(char* dst, size_t size, const char* src) {
    strncpy(dst, src, size - 1);
    dst[size - 1] = '\0';
}

static void apply_camera_key(CameraConfigRecord* config, const char* name, const char* value) {
    int32_t list[KORVANE_CONFIG_MAX_VALUES];
    if (strcmp(name, "CFG_MODE") == 0) {
        config->cfg_mode = to_int32(value);
    } else if (strcmp(name, "TYPE") == 0) {
        copy_text(config->type, sizeof config->type, value);
    } else if (strcmp(name, "SIZE") == 0) {
        if (parse_list(value, list) == 2) {
            config->width = (uint32_t)list[0];
            config->height = (uint32_t)list[1];
        }
    } else if (strcmp(name, "BIT_WIDTH") == 0) {
        config->bit_width = (uint8_t)to_int32(value);
    } else if (strcmp(name, "FORMAT") == 0) {
        const size_t count = parse_list(value, list);
        if (count == 2) config->format = (uint16_t)(((uint32_t)list[0] << 8) | (uint32_t)list[1]);
        if (count == 1) config->format = (uint16_t)((uint32_t)list[0] << 8);
    } else if (strcmp(name, "I2C_MODE") == 0) {
        config->i2c_mode = (uint8_t)to_int32(value);
    } else if (strcmp(name, "I2C_ADDR") == 0) {
        config->i2c_addr = (uint16_t)to_int32(value);
    } else if (strcmp(name, "TRANS_LVL") == 0) {
        config->trans_lvl = (uint32_t)to_int32(value);
    }
}

static int append_control(CameraConfigRecord* config) {
    if (config->control_count == UINT32_MAX) return 0;
    ControlItem* grown = realloc(config->controls, ((size_t)config->control_count + 1) * sizeof *grown);
    if (grown == NULL) return 0;
    config->controls = grown;
    /* A new item starts with every field zero. */
    memset(&grown[config->control_count], 0, sizeof *grown);
    config->control_count++;
    return 1;
}

static void apply_control_key(ControlItem* item, const char* name, const char* value) {
    if (strcmp(name, "MIN_VALUE") == 0) {
        item->min_value = to_int64(value);
    } else if (strcmp(name, "MAX_VALUE") == 0) {
        item->max_value = to_int64(value);
    } else if (strcmp(name, "STEP") == 0) {
        item->step = to_int32(value);
    } else if (strcmp(name, "DEF") == 0) {
        item->def = to_int64(value);
    } else if (strcmp(name, "CTRL_NAME") == 0) {
        copy_text(item->ctrl_name, sizeof item->ctrl_name, value);
    } else if (strcmp(name, "FUNC_NAME") == 0) {
        copy_text(item->func_name, sizeof item->func_name, value);
    }
}

static int set_control_code(ControlItem* item, const char* text) {
    const size_t size = strlen(text) + 1;
    char* copy = malloc(size);
    if (copy == NULL) return 0;
    memcpy(copy, text, size);
    free(item->code);
    item->code = copy;
    return 1;
}

static uint32_t register_key(const char* name) {
    if (strcmp(name, "REG") == 0) return KORVANE_KEY_REG;
    if (strcmp(name, "VRCMD") == 0) return KORVANE_KEY_VRCMD;
    if (strcmp(name, "DELAY") == 0) return KORVANE_KEY_DELAY;
    return 0;
}

static int append_register(CameraConfigRecord* config, uint32_t kind, const char* value) {
    const uint32_t count = config->register_count;
    if (count >= UINT32_MAX - REGISTER_GROWTH) return 0;
    if (count % REGISTER_GROWTH == 0) {
        RegisterEntry* grown =
            realloc(config->registers, ((size_t)count + REGISTER_GROWTH) * sizeof *config->registers);
        if (grown == NULL) return 0;
        config->registers = grown;
    }
    RegisterEntry* entry = &config->registers[count];
    memset(entry, 0, sizeof *entry);
    entry->kind = kind;
    const size_t tokens = parse_list(value, entry->values);
    entry->count = (uint8_t)(tokens < KORVANE_CONFIG_MAX_VALUES ? tokens : KORVANE_CONFIG_MAX_VALUES);
    config->register_count = count + 1;
    return 1;
}

static int fill_record(void* user, const char* section, const char* name, const char* value) {
    CameraConfigRecord* config = user;
    if (config == NULL) return 0;
    const uint32_t code = section_code(section);
    if (code == 0) return 1;

    if (code == KORVANE_SECTION_CONTROL) {
        if (name == NULL && value == NULL) return append_control(config);
        if (config->control_count == 0) return 1;
        ControlItem* item = &config->controls[config->control_count - 1];
        if (name == NULL) return set_control_code(item, value);
        apply_control_key(item, name, value);
        return 1;
    }
    /* Section events and code blocks mean nothing outside [control parameter]. */
    if (name == NULL) return 1;
    if (code == KORVANE_SECTION_CAMERA) {
        apply_camera_key(config, name, value);
        return 1;
    }
    const uint32_t key = register_key(name);
    return key == 0 ? 1 : append_register(config, code + key, value);
}

int korvane_parse_config(const char* path, CameraConfigRecord* config) {
    return korvane_scan_config(path, fill_record, config);
}

void korvane_free_config(CameraConfigRecord* config) {
    if (config == NULL) return;
    for (uint32_t i = 0; i < config->control_count; i++) free(config->controls[i].code);
    free(config->controls);
    free(config->registers);
    config->controls = NULL;
    config->control_count = 0;
    config->registers = NULL;
    config->register_count = 0;
}
