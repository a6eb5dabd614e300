#include "web/server.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <new>
#include <thread>

#include "ranking/classement.h"
#include "web/page.h"

namespace web {

namespace {

// Pending connections the kernel keeps for us (the library listens with 5).
constexpr int kListenBacklog = 1024;
// Connections served at once; a request waiting for the store lock keeps
// its thread.
constexpr size_t kThreads = 16;

// The library's server, with access to its listening socket.
class Server : public httplib::Server {
 public:
  // Deepens the queue of the socket bound by bind_to_port: listen() on a
  // listening socket only changes its backlog.
  bool RaiseBacklog() { return ::listen(svr_sock_, kListenBacklog) == 0; }
};

void Send(const Reply& reply, httplib::Response& res) {
  // A 200 is left for the library to choose, so that a range request (a
  // player seeking in a sound) gets its 206.
  if (reply.status != 200) res.status = reply.status;
  res.set_header("Cache-Control", "no-cache");
  res.set_content(reply.body, reply.content_type.c_str());
}

// Runs a route, turning an exception into a JSON error.
template <typename F>
void Guarded(httplib::Response& res, F&& route) {
  try {
    Send(route(), res);
  } catch (const std::bad_alloc&) {
    Send(ErrorReply(503, "mémoire insuffisante : requête abandonnée"), res);
  } catch (const std::exception& e) {
    Send(ErrorReply(500, std::string("erreur interne : ") + e.what()), res);
  }
}

const char* StatusWord(int status) {
  switch (status) {
    case 400: return "requête invalide";
    case 404: return "chemin inconnu";
    case 405: return "méthode non permise";
    case 413: return "corps de requête trop gros (64 Mio au plus)";
    default: return "erreur";
  }
}

void AddRoutes(Server& server, const Service& service) {
  // The query is read here rather than by the library, so that its bytes are
  // taken as they come whatever the content type says (the library would
  // parse a form body, and refuse one over 8 KiB). A multipart form gives
  // its first part. The 64 MiB limit still applies.
  server.Post(R"(/api/classement/(texte|image|son))",
              [&](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
                Guarded(res, [&] {
                  std::string body;
                  bool read;
                  if (req.is_multipart_form_data()) {
                    int parts = 0;
                    read = reader(
                        [&](const httplib::MultipartFormData&) {
                          ++parts;
                          return true;
                        },
                        [&](const char* data, size_t n) {
                          if (parts == 1) body.append(data, n);
                          return true;
                        });
                  } else {
                    read = reader([&](const char* data, size_t n) {
                      body.append(data, n);
                      return true;
                    });
                  }
                  if (!read && res.status == 413) return ErrorReply(413, StatusWord(413));
                  if (!read) return ErrorReply(400, "corps de requête illisible");
                  return service.Classement(req.matches[1], req.params, body);
                });
              });
  server.Get("/api/recherche", [&](const httplib::Request& req, httplib::Response& res) {
    Guarded(res, [&] { return service.Recherche(req.params); });
  });
  server.Get(R"(/api/media/(texte|image|son)/([^/]+))", [&](const httplib::Request& req, httplib::Response& res) {
    Guarded(res, [&] { return service.Media(req.matches[1], req.matches[2].str()); });
  });
  server.Post("/api/indexation", [&](const httplib::Request&, httplib::Response& res) {
    Guarded(res, [&] { return service.Indexation(); });
  });
  server.Get("/api/etat", [&](const httplib::Request&, httplib::Response& res) {
    Guarded(res, [&] { return service.Etat(); });
  });
  server.Get(R"(/|/app\.js|/style\.css)", [](const httplib::Request& req, httplib::Response& res) {
    const PageFile* file = FindPageFile(req.path);
    if (file == nullptr) {
      Send(ErrorReply(404, StatusWord(404)), res);
      return;
    }
    res.set_content(std::string(file->bytes), std::string(file->content_type).c_str());
  });
  // Errors the library answers itself (unknown path, body too large,
  // malformed request) get the same JSON shape as ours.
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) res.set_content(ErrorReply(res.status, StatusWord(res.status)).body, "application/json");
  });
}

std::string Url(const std::string& host, int port) {
  const bool v6 = host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
}

}  // namespace

int Serve(const Service& service, const ServerOptions& options, output::Sink& sink) {
  // SIGINT and SIGTERM are taken by sigtimedwait below, never by a handler:
  // blocked here, before any thread starts, they stay blocked in all.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  // A client that goes away mid-answer, or a closed standard output, must
  // fail that write only, not end the server.
  ::signal(SIGPIPE, SIG_IGN);

  Server server;
  server.set_payload_max_length(ranking::kMaxQueryBytes);
  server.set_keep_alive_max_count(1000);
  server.set_tcp_nodelay(true);  // answers leave at once, not after a delayed ACK
  server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  AddRoutes(server, service);

  int port = options.port;
  if (port == 0) {
    port = server.bind_to_any_port(options.host);
    if (port <= 0) port = -1;
  } else if (!server.bind_to_port(options.host, port)) {
    port = -1;
  }
  if (port < 0) {
    sink.report("impossible d'écouter sur " + options.host + " port " + std::to_string(options.port));
    return 1;
  }
  if (!server.RaiseBacklog()) sink.report("file d'attente des connexions non agrandie");

  std::atomic<bool> ended{false};
  std::thread listener([&] {
    server.listen_after_bind();
    ended = true;
  });
  sink.out(Url(options.host, port) + "\n");
  std::fflush(stdout);  // whoever started us waits for this line

  const timespec tick{0, 200 * 1000 * 1000};
  while (!ended) {
    if (sigtimedwait(&stop_signals, nullptr, &tick) > 0) break;
  }
  server.stop();
  listener.join();
  return 0;
}

}  // namespace web
