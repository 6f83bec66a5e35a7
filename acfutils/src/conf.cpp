/*
 * Settings files: plain text, one "key = value" per line.
 *
 * Reading never trusts the content: the file is read in fixed-size chunks, a
 * line is never held beyond MAX_LINE_LEN (+ a little), and any malformed line
 * is logged with its number and skipped while the rest of the file is kept.
 * Writing goes through a temporary file in the same folder that is flushed
 * to disk and then renamed over the target, so the target is never half
 * written.
 */

#include <acfutils/conf.h>
#include <acfutils/log.h>

#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "../os/os_file.h"

namespace {

/* The longest accepted line, not counting its line ending ("\n" or "\r\n"). */
constexpr size_t MAX_LINE_LEN = 4096;
/*
 * Comment and blank lines kept for the rewrite. Far more than any person
 * writes, and a bound on what a file of nothing but newlines can cost; those
 * beyond it are skipped as malformed, so the file as it was is kept aside.
 */
constexpr size_t MAX_KEPT_TEXT_LINES = 100000;
/* Malformed lines logged one by one per file; the rest only as a count. */
constexpr int MAX_LOGGED_BAD_LINES = 20;
constexpr size_t READ_CHUNK = 64 * 1024;

} // namespace

struct conf {
    /*
     * One line of the file, in file order. A key/value entry, or (with an
     * empty key, which no entry can have) a comment or blank line kept as
     * the user wrote it, so a rewrite loses none of the user's notes.
     */
    struct line {
        std::string key;
        std::string value;
    };
    std::vector<line> lines;
    std::unordered_map<std::string, size_t> index; /* key -> lines[] */
    /* Written back with the line ending the file was read with. */
    bool crlf = false;

    /* Adds or replaces; a replaced entry keeps its position. True if replaced. */
    bool set(const std::string &key, const std::string &value)
    {
        auto it = index.find(key);
        if (it != index.end()) {
            lines[it->second].value = value;
            return true;
        }
        index.emplace(key, lines.size());
        lines.push_back({key, value});
        return false;
    }

    void keep_text(const char *b, const char *e) { lines.push_back({std::string(), std::string(b, e)}); }

    const std::string *get(const char *key) const
    {
        auto it = index.find(key);
        if (it == index.end())
            return nullptr;
        return &lines[it->second].value;
    }
};

namespace {

inline bool is_blank(unsigned char c)
{
    return c == ' ' || c == '\t';
}

/* Control bytes: everything below 0x20 but the tab, and DEL. */
inline bool is_control(unsigned char c)
{
    return (c < 0x20 && c != '\t') || c == 0x7f;
}

/* Printable ASCII without the space. */
inline bool is_key_char(unsigned char c)
{
    return c > 0x20 && c < 0x7f;
}

/* Printable ASCII, space and tab included. */
inline bool is_value_char(unsigned char c)
{
    return (c >= 0x20 && c < 0x7f) || c == '\t';
}

void trim(const char *&b, const char *&e)
{
    while (b < e && is_blank((unsigned char)*b))
        b++;
    while (e > b && is_blank((unsigned char)e[-1]))
        e--;
}

bool valid_key(const char *b, const char *e)
{
    if (b == e || *b == '#')
        return false;
    for (const char *p = b; p < e; p++) {
        if (!is_key_char((unsigned char)*p) || *p == '=')
            return false;
    }
    return true;
}

bool valid_value(const char *b, const char *e)
{
    if (b == e)
        return false;
    for (const char *p = b; p < e; p++) {
        if (!is_value_char((unsigned char)*p))
            return false;
    }
    return true;
}

class reader {
public:
    reader(conf_t *conf, const char *filename) : conf_(conf), filename_(filename) {}

    /* Feeds raw bytes; lines are parsed as their '\n' arrives. */
    void feed(const char *data, size_t len)
    {
        const char *p = data, *end = data + len;
        while (p < end) {
            const char *nl = (const char *)memchr(p, '\n', (size_t)(end - p));
            const char *stop = (nl != nullptr ? nl : end);
            append(p, (size_t)(stop - p));
            if (nl == nullptr)
                break;
            end_line();
            p = nl + 1;
        }
    }

    /* Ends the input: a last line without its '\n' still counts. */
    void finish()
    {
        if (!line_.empty() || overlong_)
            end_line();
        if (bad_lines_ > MAX_LOGGED_BAD_LINES) {
            logMsg("%s: %d malformed lines skipped in all (only the first %d logged)", filename_, bad_lines_,
                   MAX_LOGGED_BAD_LINES);
        }
        if (dup_lines_ > MAX_LOGGED_BAD_LINES) {
            logMsg("%s: %d duplicate keys in all (only the first %d logged)", filename_, dup_lines_,
                   MAX_LOGGED_BAD_LINES);
        }
    }

    int first_bad_line() const { return first_bad_; }

private:
    void append(const char *p, size_t n)
    {
        if (overlong_)
            return;
        /* Room for MAX_LINE_LEN bytes, a '\r' and one more to see the excess. */
        const size_t limit = MAX_LINE_LEN + 2;
        if (line_.size() + n > limit) {
            overlong_ = true;
            line_.clear();
            line_.shrink_to_fit();
            return;
        }
        line_.append(p, n);
    }

    void end_line()
    {
        line_no_++;
        if (line_no_ < 0) /* more than INT_MAX lines: stop counting upwards */
            line_no_ = INT_MAX;
        if (overlong_) {
            bad("longer than 4096 bytes");
        } else {
            if (!line_.empty() && line_.back() == '\r') {
                line_.pop_back();
                if (line_no_ == 1)
                    conf_->crlf = true;
            }
            if (line_.size() > MAX_LINE_LEN)
                bad("longer than 4096 bytes");
            else
                parse_line(line_.data(), line_.data() + line_.size());
        }
        overlong_ = false;
        line_.clear();
    }

    void parse_line(const char *b, const char *e)
    {
        for (const char *p = b; p < e; p++) {
            if (is_control((unsigned char)*p)) {
                bad("control byte");
                return;
            }
        }
        const char *text = b;
        trim(b, e);
        if ((b == e || *b == '#') && kept_text_ == MAX_KEPT_TEXT_LINES) {
            bad("more than 100000 comment and blank lines");
            return;
        }
        if (b == e || *b == '#')
            kept_text_++;
        if (b == e) {
            conf_->keep_text(b, b); /* blank line; its blanks are not worth keeping */
            return;
        }
        if (*b == '#') {
            conf_->keep_text(text, e); /* a comment, indentation included */
            return;
        }

        const char *eq = (const char *)memchr(b, '=', (size_t)(e - b));
        if (eq == nullptr) {
            bad("no '='");
            return;
        }
        const char *kb = b, *ke = eq, *vb = eq + 1, *ve = e;
        trim(kb, ke);
        trim(vb, ve);
        if (kb == ke) {
            bad("empty key");
            return;
        }
        if (!valid_key(kb, ke)) {
            bad("bad key");
            return;
        }
        if (vb == ve) {
            bad("empty value");
            return;
        }
        if (!valid_value(vb, ve)) {
            bad("bad value");
            return;
        }
        std::string key(kb, ke);
        if (conf_->set(key, std::string(vb, ve))) {
            dup_lines_++;
            if (dup_lines_ <= MAX_LOGGED_BAD_LINES) {
                logMsg("%s:%d: duplicate key \"%s\", the last one wins", filename_, line_no_, key.c_str());
            }
        }
    }

    void bad(const char *why)
    {
        if (first_bad_ < 0)
            first_bad_ = line_no_;
        bad_lines_++;
        if (bad_lines_ <= MAX_LOGGED_BAD_LINES)
            logMsg("%s:%d: skipped malformed line (%s)", filename_, line_no_, why);
    }

    conf_t *conf_;
    const char *filename_;
    std::string line_;
    bool overlong_ = false;
    int line_no_ = 0;
    int first_bad_ = -1;
    int bad_lines_ = 0;
    int dup_lines_ = 0;
    size_t kept_text_ = 0;
};

/* A decimal 32-bit integer with an optional sign, and nothing else. */
bool parse_int(const std::string &text, int *value)
{
    const char *p = text.c_str(), *end = p + text.size();
    bool neg = false;
    if (p < end && (*p == '+' || *p == '-')) {
        neg = (*p == '-');
        p++;
    }
    if (p == end)
        return false;
    /* Accumulated as a magnitude; INT_MIN's is one more than INT_MAX's. */
    const long long limit = neg ? -(long long)INT_MIN : (long long)INT_MAX;
    long long mag = 0;
    for (; p < end; p++) {
        if (*p < '0' || *p > '9')
            return false;
        mag = mag * 10 + (*p - '0');
        if (mag > limit)
            return false;
    }
    if (value != nullptr)
        *value = (int)(neg ? -mag : mag);
    return true;
}

} // namespace

extern "C" {

conf_t *conf_create_empty(void)
{
    return new (std::nothrow) conf_t();
}

void conf_free(conf_t *conf)
{
    delete conf;
}

conf_t *conf_read_file(const char *filename, int *errline)
{
    if (errline != nullptr)
        *errline = -1;
    if (filename == nullptr) {
        errno = EINVAL;
        return nullptr;
    }

    os_file_t *file = os_file_open_read(filename);
    if (file == nullptr)
        return nullptr;

    conf_t *conf = nullptr;
    try {
        conf = new conf_t();
        reader rd(conf, filename);
        std::vector<char> chunk(READ_CHUNK);
        for (;;) {
            long long n = os_file_read(file, chunk.data(), chunk.size());
            if (n < 0) {
                int err = errno;
                logMsg("%s: read failed: %s", filename, strerror(err));
                delete conf;
                os_file_close(file);
                errno = err;
                return nullptr;
            }
            if (n == 0)
                break;
            rd.feed(chunk.data(), (size_t)n);
        }
        rd.finish();
        if (errline != nullptr)
            *errline = rd.first_bad_line();
    } catch (const std::bad_alloc &) {
        logMsg("%s: out of memory while reading", filename);
        delete conf;
        os_file_close(file);
        errno = ENOMEM;
        return nullptr;
    }
    os_file_close(file);
    return conf;
}

bool conf_write_file(const conf_t *conf, const char *filename)
{
    if (conf == nullptr || filename == nullptr) {
        errno = EINVAL;
        return false;
    }

    std::string data;
    try {
        const char *eol = conf->crlf ? "\r\n" : "\n";
        for (const auto &l : conf->lines) {
            if (!l.key.empty()) {
                data += l.key;
                data += " = ";
            }
            data += l.value;
            data += eol;
        }
    } catch (const std::bad_alloc &) {
        logMsg("%s: cannot write: out of memory", filename);
        errno = ENOMEM;
        return false;
    }

    char tmp[4096 + 64];
    const char *step = nullptr;
    if (os_file_replace(filename, data.data(), data.size(), tmp, sizeof(tmp), &step))
        return true;
    int err = errno;
    if (strcmp(step, "name") == 0)
        logMsg("%s: cannot write: path too long", filename);
    else if (strcmp(step, "create") == 0)
        logMsg("%s: cannot create temporary file %s: %s", filename, tmp, strerror(err));
    else
        logMsg("%s: cannot write (%s of %s failed): %s", filename, step, tmp, strerror(err));
    errno = err;
    return false;
}

bool conf_get_i(const conf_t *conf, const char *key, int *value)
{
    if (conf == nullptr || key == nullptr)
        return false;
    const std::string *s = conf->get(key);
    if (s == nullptr)
        return false;
    if (!parse_int(*s, value)) {
        logMsg("conf: \"%s\" holds \"%.40s\", not a whole number of 32 bits", key, s->c_str());
        return false;
    }
    return true;
}

void conf_set_i(conf_t *conf, const char *key, int value)
{
    if (conf == nullptr || key == nullptr)
        return;
    size_t len = strlen(key);
    /* A key that would not read back as itself is refused. */
    if (len > MAX_LINE_LEN - 32 || !valid_key(key, key + len)) {
        logMsg("conf: refused to set invalid key \"%.64s\"", key);
        return;
    }
    char buf[16];
    snprintf(buf, sizeof(buf), "%d", value);
    try {
        conf->set(std::string(key, len), buf);
    } catch (const std::bad_alloc &) {
        logMsg("conf: out of memory setting \"%.64s\"", key);
    }
}

bool conf_get_str(const conf_t *conf, const char *key, const char **value)
{
    if (conf == nullptr || key == nullptr || value == nullptr)
        return false;
    const std::string *s = conf->get(key);
    if (s == nullptr)
        return false;
    *value = s->c_str();
    return true;
}

void conf_set_str(conf_t *conf, const char *key, const char *value)
{
    if (conf == nullptr || key == nullptr || value == nullptr)
        return;
    const size_t len = strlen(key), vlen = strlen(value);
    bool ok = len + vlen <= MAX_LINE_LEN - 8 && valid_key(key, key + len);
    for (size_t i = 0; ok && i < vlen; i++)
        ok = is_value_char((unsigned char)value[i]);
    /* Blanks around the value would be trimmed away when read back. */
    if (ok && vlen > 0)
        ok = !is_blank((unsigned char)value[0]) && !is_blank((unsigned char)value[vlen - 1]);
    if (!ok) {
        logMsg("conf: refused to set \"%.64s\" to a value that would not read back", key);
        return;
    }
    try {
        conf->set(std::string(key, len), std::string(value, vlen));
    } catch (const std::bad_alloc &) {
        logMsg("conf: out of memory setting \"%.64s\"", key);
    }
}

void conf_add_comment(conf_t *conf, const char *text)
{
    if (conf == nullptr || text == nullptr)
        return;
    size_t len = strlen(text);
    for (size_t i = 0; i < len; i++) {
        if (is_control((unsigned char)text[i])) {
            logMsg("conf: refused a comment with a control byte");
            return;
        }
    }
    if (len > MAX_LINE_LEN - 2) {
        logMsg("conf: refused a comment longer than a line");
        return;
    }
    try {
        std::string line = "# ";
        line.append(text, len);
        const char *b = line.data(), *e = b + line.size();
        trim(b, e); /* as the reader keeps it, so a rewrite gives the same bytes */
        conf->keep_text(b, e);
    } catch (const std::bad_alloc &) {
        logMsg("conf: out of memory adding a comment");
    }
}

} // extern "C"
