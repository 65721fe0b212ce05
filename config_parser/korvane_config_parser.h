/* Camera configuration files of the USB adapter: a line-oriented INI-style text format
 * with joined section names ("[board parameter][dev2]" is "board parameter||dev2"),
 * code blocks and // comments, parsed into a CameraConfigRecord. */
#ifndef KORVANE_CONFIG_PARSER_H
#define KORVANE_CONFIG_PARSER_H

#include <stdint.h>

#if defined(__GNUC__)
#define KORVANE_CONFIG_API __attribute__((visibility("default")))
#else
#define KORVANE_CONFIG_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define KORVANE_CONFIG_TYPE_SIZE 50   /* bytes of CameraConfigRecord.type, NUL included */
#define KORVANE_CONFIG_NAME_SIZE 128  /* bytes of ControlItem names, NUL included */
#define KORVANE_CONFIG_MAX_VALUES 16  /* values kept from one register line */

/* Section codes; RegisterEntry.kind is a section code plus a register key code. */
#define KORVANE_SECTION_CAMERA 0x1000000u
#define KORVANE_SECTION_BOARD 0x2000000u
#define KORVANE_SECTION_BOARD_DEV2 0x2020000u
#define KORVANE_SECTION_BOARD_DEV3_INF3 0x2030000u
#define KORVANE_SECTION_BOARD_DEV3_INF2 0x2040000u
#define KORVANE_SECTION_REGISTER 0x3000000u
#define KORVANE_SECTION_REGISTER_DEV3_INF3 0x3030000u
#define KORVANE_SECTION_REGISTER_DEV3_INF2 0x3040000u
#define KORVANE_SECTION_CONTROL 0x4000000u

#define KORVANE_KEY_REG 1u
#define KORVANE_KEY_VRCMD 2u
#define KORVANE_KEY_DELAY 3u

typedef struct RegisterEntry {
    uint32_t kind;                              /* section code + key code */
    int32_t values[KORVANE_CONFIG_MAX_VALUES];  /* the line's comma list */
    uint8_t count;                              /* values stored (at most 16) */
} RegisterEntry;

typedef struct ControlItem {
    int64_t min_value;
    int64_t max_value;
    int32_t step;
    int64_t def;
    char ctrl_name[KORVANE_CONFIG_NAME_SIZE];
    char func_name[KORVANE_CONFIG_NAME_SIZE];
    char* code; /* heap copy of the item's code block (lines joined by '\n'), or NULL */
} ControlItem;

typedef struct CameraConfigRecord {
    int32_t cfg_mode;
    char type[KORVANE_CONFIG_TYPE_SIZE]; /* always NUL-terminated */
    uint32_t width;
    uint32_t height;
    uint8_t bit_width;
    uint16_t format; /* (first FORMAT value << 8) | second value */
    uint8_t i2c_mode;
    uint16_t i2c_addr;
    uint32_t trans_lvl;
    RegisterEntry* registers; /* board and register section lines, in file order */
    uint32_t register_count;
    ControlItem* controls; /* one per [control parameter] header, in file order */
    uint32_t control_count;
} CameraConfigRecord;

/* Parses the file at `path` into `config`, which the caller provides zeroed (both lists
 * empty). Returns -1 when the file cannot be opened for reading (the record is left
 * untouched), 0 when every line was accepted, otherwise the number (from 1) of the first
 * line that was not accepted; the rest of the file is applied all the same. Release the
 * lists with korvane_free_config. */
KORVANE_CONFIG_API int korvane_parse_config(const char* path, CameraConfigRecord* config);

/* Frees the register and control lists (and every control's code) and empties them. */
KORVANE_CONFIG_API void korvane_free_config(CameraConfigRecord* config);

/* Receives every event of the scanner: a section header (name and value NULL), a
 * "name = value" line, or a code block (name NULL, value the block's text). `section` is
 * the current section ("" before the first header). Return 0 to mark the line as not
 * accepted. */
typedef int (*korvane_config_handler)(void* user, const char* section, const char* name, const char* value);

/* Runs the scanner of korvane_parse_config over `path` with the caller's handler, for
 * readers of settings the record does not hold. Results as korvane_parse_config. */
KORVANE_CONFIG_API int korvane_scan_config(const char* path, korvane_config_handler handler, void* user);

#ifdef __cplusplus
}
#endif

#endif /* KORVANE_CONFIG_PARSER_H */
