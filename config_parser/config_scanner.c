/* The line scanner behind korvane_parse_config and korvane_scan_config. */
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "korvane_config_parser.h"

enum {
    READ_SIZE = 1024,   /* a longer line continues as the next read */
    SECTION_SIZE = 50,  /* at most 49 characters of section name */
};

static const char CODE_BLOCK_START[] = "======CODE_BLOCK_START======";
static const char CODE_BLOCK_END[] = "======CODE_BLOCK_END======";

typedef struct LineReader {
    FILE* file;
    char text[READ_SIZE];
    int line;           /* physical line of the text just read, from 1 */
    int continues;      /* the last read stopped inside a line */
} LineReader;

/* Reads at most READ_SIZE - 1 characters, up to and including a line break. A read that
 * stops inside an over-long line keeps its line number for the continuation, so results
 * always name physical lines of the file. Returns 0 at the end of the file. */
static int read_line(LineReader* reader) {
    size_t len = 0;
    int c = EOF;
    while (len < READ_SIZE - 1 && (c = getc(reader->file)) != EOF) {
        reader->text[len++] = (char)c;
        if (c == '\n') break;
    }
    reader->text[len] = '\0';
    if (len == 0) return 0;
    if (!reader->continues) reader->line++;
    reader->continues = reader->text[len - 1] != '\n' && c != EOF;
    return 1;
}

static void strip_trailing_space(char* s) {
    size_t len = strlen(s);
    while (len > 0 && isspace((unsigned char)s[len - 1])) s[--len] = '\0';
}

static int equals_ignore_case(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; a++, b++) {
        if (tolower((unsigned char)*a) != tolower((unsigned char)*b)) return 0;
    }
    return *a == *b;
}

static char* skip_space(char* s) {
    while (isspace((unsigned char)*s)) s++;
    return s;
}

/* Start of an inline comment: ';' or "//" directly after a white-space character. */
static char* find_inline_comment(char* s) {
    for (size_t i = 1; s[i] != '\0'; i++) {
        if (!isspace((unsigned char)s[i - 1])) continue;
        if (s[i] == ';' || (s[i] == '/' && s[i + 1] == '/')) return s + i;
    }
    return NULL;
}

/* Growing text of an open code block. */
typedef struct CodeBlock {
    int open;
    char* text;
    size_t len;
    size_t capacity;
    int overflow; /* memory ran out: the block cannot be delivered */
} CodeBlock;

static void code_block_append(CodeBlock* block, const char* line) {
    const size_t add = strlen(line) + 1; /* line + '\n' */
    if (block->overflow) return;
    if (block->len + add + 1 > block->capacity) {
        size_t capacity = block->capacity ? block->capacity : 256;
        while (block->len + add + 1 > capacity) {
            if (capacity > ((size_t)-1) / 2) {
                block->overflow = 1;
                return;
            }
            capacity *= 2;
        }
        char* grown = realloc(block->text, capacity);
        if (grown == NULL) {
            block->overflow = 1;
            return;
        }
        block->text = grown;
        block->capacity = capacity;
    }
    memcpy(block->text + block->len, line, add - 1);
    block->len += add;
    block->text[block->len - 1] = '\n';
    block->text[block->len] = '\0';
}

static void code_block_reset(CodeBlock* block) {
    free(block->text);
    memset(block, 0, sizeof *block);
}

/* "[a][b][c]" -> "a||b||c" (at most SECTION_SIZE - 1 characters kept). 0 when a ']' is
 * missing; the current section then stays as it was. */
static int parse_section_header(const char* line, char section[SECTION_SIZE]) {
    char joined[SECTION_SIZE];
    size_t out = 0;
    const char* p = line + 1;
    for (;;) {
        const char* close = strchr(p, ']');
        if (close == NULL) return 0;
        for (; p < close; p++) {
            if (out < SECTION_SIZE - 1) joined[out++] = *p;
        }
        if (close[1] != '[') break;
        for (const char* sep = "||"; *sep; sep++) {
            if (out < SECTION_SIZE - 1) joined[out++] = *sep;
        }
        p = close + 2;
    }
    joined[out] = '\0';
    memcpy(section, joined, out + 1);
    return 1;
}

/* "name = value ; comment": splits in place. 0 when neither '=' nor ':' comes before the
 * comment. */
static int split_key_value(char* line, char** name, char** value) {
    char* comment = find_inline_comment(line);
    if (comment != NULL) *comment = '\0';
    char* sep = strpbrk(line, "=:");
    if (sep == NULL) return 0;
    *sep = '\0';
    strip_trailing_space(line);
    *name = line;
    *value = skip_space(sep + 1);
    strip_trailing_space(*value);
    return 1;
}

int korvane_scan_config(const char* path, korvane_config_handler handler, void* user) {
    if (path == NULL) return -1;
    LineReader reader = {0};
    reader.file = fopen(path, "r");
    if (reader.file == NULL) return -1;

    char section[SECTION_SIZE] = "";
    CodeBlock block = {0};
    int result = 0;
    int first = 1;
    while (read_line(&reader)) {
        char* raw = reader.text;
        if (first && (unsigned char)raw[0] == 0xEF && (unsigned char)raw[1] == 0xBB &&
            (unsigned char)raw[2] == 0xBF) {
            raw += 3;
        }
        first = 0;
        strip_trailing_space(raw);
        char* line = skip_space(raw);
        int accepted = 1;

        if (block.open) {
            if (equals_ignore_case(line, CODE_BLOCK_END)) {
                accepted = !block.overflow && handler(user, section, NULL, block.text ? block.text : "");
                code_block_reset(&block);
            } else if (line[0] == '[') {
                /* A header ends the block unapplied; the header is not applied either. */
                code_block_reset(&block);
                result = reader.line;
                continue;
            } else {
                code_block_append(&block, raw);
            }
        } else if (line[0] == '\0' || line[0] == ';' || line[0] == '#' || (line[0] == '/' && line[1] == '/')) {
            continue;
        } else if (equals_ignore_case(line, CODE_BLOCK_START)) {
            block.open = 1;
        } else if (line[0] == '[') {
            accepted = parse_section_header(line, section) && handler(user, section, NULL, NULL);
        } else {
            char* name = NULL;
            char* value = NULL;
            accepted = split_key_value(line, &name, &value) && handler(user, section, name, value);
        }
        if (!accepted && result == 0) result = reader.line;
    }
    if (block.open) {
        /* The file ended inside a code block. */
        code_block_reset(&block);
        result = reader.line;
    }
    fclose(reader.file);
    return result;
}
