#include "net/http_request.h"

#include <windows.h>

#include <winhttp.h>

#include <chrono>
#include <exception>
#include <initializer_list>
#include <mutex>
#include <optional>

#include "net/redirect.h"
#include "net/url_encode.h"
#include "system/codepage.h"
#include "system/win32/wide_win32.h"

// WinHTTP in asynchronous mode, so the stall and total clocks run here on the
// calling thread: some WinHTTP versions ignore the receive time-out before the
// headers arrive. Redirects are followed here too (not every version follows
// 303 and 308), and connections are never reused.
namespace keeprun {
namespace {

using Clock = std::chrono::steady_clock;

struct Session {
    HINTERNET h = nullptr;
    ~Session() {
        if (h) WinHttpCloseHandle(h);
    }
};

// What the status callback reports about the one operation in flight, and the
// memory WinHTTP works on meanwhile: the request body of a send and the buffer
// of a read. A wait that gives up returns while WinHTTP may still send from or
// read into them, so they live here, until WinHTTP says the request handle is
// gone, and then the operation deletes itself.
struct Operation {
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::mutex m;
    DWORD status = 0; // the completion that arrived
    DWORD bytes = 0;  // bytes read, for a read
    DWORD error = 0;  // why the operation failed, for a request error
    std::string body;
    char buffer[16384];
    ~Operation() { CloseHandle(done); }
};

void CALLBACK on_status(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD length) {
    auto* op = reinterpret_cast<Operation*>(context);
    if (!op) return;
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
        delete op;
        return;
    }
    // Only the ends of operations; progress notes would wake the waiter early.
    if (status != WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE &&
        status != WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE &&
        status != WINHTTP_CALLBACK_STATUS_READ_COMPLETE &&
        status != WINHTTP_CALLBACK_STATUS_REQUEST_ERROR)
        return;
    {
        std::lock_guard lock(op->m);
        op->status = status;
        op->bytes = status == WINHTTP_CALLBACK_STATUS_READ_COMPLETE ? length : 0;
        if (status == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR && info)
            op->error = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError;
    }
    SetEvent(op->done);
}

struct Reply {
    DWORD status = 0;
    std::wstring location;
    std::string body;
};

struct Target {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path; // with its query
};

std::optional<Target> crack(const std::wstring& address) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts))
        return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return std::nullopt;
    Target t;
    t.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    t.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    t.port = parts.nPort;
    t.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    t.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (t.path.empty()) t.path = L"/";
    return t;
}

// WinHTTP's words for an error, with its number.
std::string error_text(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                       FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   GetModuleHandleW(L"winhttp.dll"), code, 0,
                                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words = n ? narrow(std::wstring_view(text, n)) : std::string();
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    return (words.empty() ? "WinHTTP error" : words) + " (" + std::to_string(code) + ")";
}

// The address a Location header points to, seen from `base`.
std::wstring resolve_location(const std::wstring& base, const std::wstring& location) {
    if (location.find(L"://") != std::wstring::npos) return location;
    const std::size_t authority = base.find(L"://") + 3;
    const std::size_t path = base.find(L'/', authority);
    const std::wstring origin = base.substr(0, path);
    if (location.rfind(L"//", 0) == 0) return base.substr(0, authority - 2) + location;
    if (location.rfind(L"/", 0) == 0) return origin + location;
    const std::wstring base_path = path == std::wstring::npos ? L"/" : base.substr(path);
    return origin + base_path.substr(0, base_path.find_last_of(L'/') + 1) + location;
}

class Exchange {
  public:
    Exchange(Clock::time_point deadline, std::chrono::milliseconds stall)
        : deadline_(deadline), stall_(stall) {}
    ~Exchange() {
        // After this the callback owns the operation and deletes it.
        if (request_) WinHttpCloseHandle(request_);
        if (!handed_over_) delete op_;
        if (connection_) WinHttpCloseHandle(connection_);
    }
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    std::optional<Reply> run(HINTERNET session, const Target& t, const wchar_t* verb,
                             const std::wstring& headers, const std::string& body) {
        connection_ = WinHttpConnect(session, t.host.c_str(), t.port, 0);
        if (!connection_) return failed();
        request_ =
            WinHttpOpenRequest(connection_, verb, t.path.c_str(), nullptr, WINHTTP_NO_REFERER,
                               WINHTTP_DEFAULT_ACCEPT_TYPES, t.secure ? WINHTTP_FLAG_SECURE : 0);
        if (!request_) return failed();
        DWORD off = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE |
                    WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION;
        WinHttpSetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &off, sizeof off);
        if (WinHttpSetStatusCallback(request_, on_status, WINHTTP_CALLBACK_FLAG_ALL_NOTIFICATIONS,
                                     0) == WINHTTP_INVALID_STATUS_CALLBACK)
            return failed();
        auto context = reinterpret_cast<DWORD_PTR>(op_);
        if (!WinHttpSetOption(request_, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context))
            return failed();
        op_->body = body;
        handed_over_ = true;
        const DWORD size = static_cast<DWORD>(body.size());
        if (!WinHttpSendRequest(request_, headers.c_str(), static_cast<DWORD>(headers.size()),
                                size ? op_->body.data() : nullptr, size, size, context) ||
            !wait_for(WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE) ||
            !WinHttpReceiveResponse(request_, nullptr) ||
            !wait_for(WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE))
            return failed();
        Reply reply;
        DWORD length = sizeof reply.status;
        if (!WinHttpQueryHeaders(request_, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &reply.status, &length,
                                 WINHTTP_NO_HEADER_INDEX))
            return failed();
        reply.location = header(WINHTTP_QUERY_LOCATION);
        if (reply.status / 100 == 3 && !reply.location.empty()) return reply;
        // A body that ends before its announced length was cut off, not complete.
        DWORD announced = 0;
        length = sizeof announced;
        const bool has_length = WinHttpQueryHeaders(
            request_, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
            WINHTTP_HEADER_NAME_BY_INDEX, &announced, &length, WINHTTP_NO_HEADER_INDEX);
        if (has_length && announced > kMaxReplyBytes) return failed();
        for (;;) {
            if (!WinHttpReadData(request_, op_->buffer, sizeof op_->buffer, nullptr) ||
                !wait_for(WINHTTP_CALLBACK_STATUS_READ_COMPLETE))
                return failed();
            if (op_bytes_ == 0) {
                if (has_length && reply.body.size() != announced) return failed();
                return reply;
            }
            if (reply.body.size() + op_bytes_ > kMaxReplyBytes) return failed();
            reply.body.append(op_->buffer, op_bytes_);
        }
    }

    // Why run() gave nothing.
    const std::string& error() const { return error_; }

  private:
    std::nullopt_t failed() {
        if (error_.empty()) error_ = error_text(GetLastError());
        return std::nullopt;
    }

    std::wstring header(DWORD which) {
        DWORD length = 0;
        WinHttpQueryHeaders(request_, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &length,
                            WINHTTP_NO_HEADER_INDEX);
        if (length == 0) return {};
        std::wstring text(length / sizeof(wchar_t) + 1, L'\0');
        if (!WinHttpQueryHeaders(request_, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(),
                                 &length, WINHTTP_NO_HEADER_INDEX))
            return {};
        text.resize(length / sizeof(wchar_t));
        return text;
    }

    // Waits for the operation in flight to end as `wanted`; false on an error,
    // on a stall longer than the time-out, or past the deadline.
    bool wait_for(DWORD wanted) {
        const auto now = Clock::now();
        const auto until = std::min(deadline_, now + stall_);
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        if (until <= now ||
            WaitForSingleObject(op_->done, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) {
            error_ = error_text(ERROR_WINHTTP_TIMEOUT);
            return false;
        }
        std::lock_guard lock(op_->m);
        op_bytes_ = op_->bytes;
        if (op_->status != wanted) error_ = error_text(op_->error);
        return op_->status == wanted;
    }

    Clock::time_point deadline_;
    std::chrono::milliseconds stall_;
    Operation* op_ = new Operation;
    bool handed_over_ = false; // the callback deletes the operation
    DWORD op_bytes_ = 0;
    std::string error_;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
};

// A session through the system's proxy settings, as every other program on a
// proxy-only network goes: the automatic kind (Windows 8.1 and later; Wine 8 has
// it too), else the older kind, which reads only the proxy set with netsh. Its
// connections and stalls are bounded at `stall_ms`.
HINTERNET open_session(int stall_ms) {
    for (const DWORD access :
         {WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY})
        if (HINTERNET h = WinHttpOpen(L"keeprun", access, WINHTTP_NO_PROXY_NAME,
                                      WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)) {
            WinHttpSetTimeouts(h, stall_ms, stall_ms, stall_ms, stall_ms);
            return h;
        }
    return nullptr;
}

std::string request(std::string_view method, std::string_view url, std::string_view data,
                    std::int32_t timeout_ms) {
    const int bounded_ms = stall_limit_ms(timeout_ms);
    const auto deadline = Clock::now() + std::chrono::milliseconds(4 * bounded_ms);
    Session session{open_session(bounded_ms)};
    if (!session.h) return {};

    bool get = method == "GET";
    std::string body = "id=" + url_encode(data);
    std::wstring address = widen(url);
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const auto target = crack(address);
        if (!target) return {};
        // A GET carries its body, as the server's fetchers have always sent it.
        std::wstring headers =
            L"If-Modified-Since: Sat, 01 Jan 2000 00:00:00 GMT\r\nConnection: close\r\n";
        if (!get) headers += L"Content-Type: application/x-www-form-urlencoded\r\n";
        Exchange exchange(deadline, std::chrono::milliseconds(bounded_ms));
        const auto reply = exchange.run(session.h, *target, get ? L"GET" : L"POST", headers, body);
        if (!reply) return {};
        if (reply->status / 100 != 3 || reply->location.empty())
            return reply->status == 200 ? cp936_decode(reply->body) : std::string();
        const std::wstring next_address = resolve_location(address, reply->location);
        const auto next =
            follow_redirect(narrow(address), narrow(next_address), reply->status, get);
        if (!next) return {};
        get = next->get;
        if (!next->keep_body) body.clear();
        address = next_address;
    }
    return {};
}

} // namespace

std::string http_request(std::string_view method, std::string_view url, std::string_view data,
                         std::int32_t timeout_ms) {
    try {
        return request(method, url, data, timeout_ms);
    } catch (const std::exception&) {
        return {};
    }
}

HttpAnswer http_post(std::string_view url, std::string_view content_type, std::string_view body,
                     std::int32_t timeout_ms) {
    HttpAnswer answer;
    try {
        const int bounded_ms = stall_limit_ms(timeout_ms);
        const auto deadline = Clock::now() + std::chrono::milliseconds(4 * bounded_ms);
        Session session{open_session(bounded_ms)};
        if (!session.h) {
            answer.error = error_text(GetLastError());
            return answer;
        }
        const auto target = crack(widen(url));
        if (!target) {
            answer.error = error_text(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
            return answer;
        }
        const std::wstring headers =
            L"Connection: close\r\nContent-Type: " + widen(content_type) + L"\r\n";
        Exchange exchange(deadline, std::chrono::milliseconds(bounded_ms));
        const auto reply = exchange.run(session.h, *target, L"POST", headers, std::string(body));
        if (!reply) {
            answer.error = exchange.error();
            return answer;
        }
        answer.status = static_cast<long>(reply->status);
        answer.body = reply->body;
    } catch (const std::exception& e) {
        answer.error = e.what();
    }
    return answer;
}

} // namespace keeprun
