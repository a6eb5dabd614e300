// engine-web run as a program on temporary stores (the demo corpora, and a
// generated one for volume), asked over loopback with the HTTP library's
// client: status codes, JSON shapes, limits, and requests served while an
// indexation runs.
#include <signal.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "tests/e2e/corpus_gen.h"
#include "tests/e2e/harness.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Copies the demo store's corpora into `store`.
void CopyDemoCorpora(const e2e::Store& store) {
  for (const char* dir : {e2e::kTexts, e2e::kRgb, e2e::kNb, e2e::kSounds}) {
    for (const auto& entry : fs::directory_iterator(std::string(DEMO_DIR) + "/" + dir)) {
      store.write(std::string(dir) + entry.path().filename().string(), Slurp(entry.path().string()));
    }
  }
}

// engine-web started on a store, stopped with SIGTERM.
class WebServer {
 public:
  explicit WebServer(const e2e::Store& store) {
    running_ = store.start(ENGINE_WEB_BINARY, {"--port", "0"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string out;
    while (std::chrono::steady_clock::now() < deadline) {
      out = Slurp(running_.io_dir + "/out");
      if (out.find('\n') != std::string::npos) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string url = out.substr(0, out.find('\n'));
    const std::string prefix = "http://127.0.0.1:";
    if (url.compare(0, prefix.size(), prefix) != 0 || url.back() != '/') {
      ADD_FAILURE() << "no URL line from engine-web: " << out << Slurp(running_.io_dir + "/err");
      return;
    }
    port_ = std::stoi(url.substr(prefix.size()));
  }
  ~WebServer() { Stop(); }

  // Stops the server; its exit status.
  int Stop() {
    if (running_.pid < 0) return status_;
    ::kill(running_.pid, SIGTERM);
    status_ = e2e::Store::finish(running_).status;
    return status_;
  }

  httplib::Client Client() const {
    httplib::Client c("127.0.0.1", port_);
    c.set_read_timeout(120, 0);
    c.set_write_timeout(120, 0);
    return c;
  }
  int port() const { return port_; }

 private:
  e2e::Running running_;
  int port_ = 0;
  int status_ = -1;
};

json Json(const httplib::Result& r) {
  if (!r) return json();
  EXPECT_EQ(r->get_header_value("Content-Type"), "application/json");
  return json::parse(r->body, nullptr, false);
}

// A JSON error of `status`: one object with a string "error".
void ExpectError(const httplib::Result& r, int status, const std::string& part = "") {
  ASSERT_TRUE(r) << "no answer";
  EXPECT_EQ(r->status, status) << r->body;
  const json j = Json(r);
  ASSERT_TRUE(j.is_object()) << r->body;
  ASSERT_TRUE(j.contains("error") && j["error"].is_string()) << r->body;
  if (!part.empty()) {
    EXPECT_NE(j["error"].get<std::string>().find(part), std::string::npos) << r->body;
  }
}

class WebE2E : public ::testing::Test {
 protected:
  void SetUp() override { CopyDemoCorpora(store_); }

  // Indexes through the API and checks the counts of the demo store.
  void Index(httplib::Client& c) {
    const auto r = c.Post("/api/indexation", "", "application/octet-stream");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200) << r->body;
    const json j = Json(r);
    EXPECT_EQ(j["texte"]["count"], 12);
    EXPECT_EQ(j["image"]["count"], 8);
    EXPECT_EQ(j["son"]["count"], 5);
    for (const char* m : {"texte", "image", "son"}) EXPECT_GE(j[m]["seconds"].get<double>(), 0.0);
  }

  e2e::Store store_;
};

TEST_F(WebE2E, BeforeIndexationSearchesSayToIndex) {
  WebServer server(store_);
  auto c = server.Client();
  auto r = c.Get("/api/etat");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  json j = Json(r);
  EXPECT_EQ(j["texte"], 0);
  EXPECT_EQ(j["image"], 0);
  EXPECT_EQ(j["son"], 0);
  EXPECT_EQ(fs::canonical(j["store"].get<std::string>()), fs::canonical(store_.path("work")));

  ExpectError(c.Get("/api/recherche?mot=maison"), 503, "indexation");
  ExpectError(c.Get("/api/media/image/0.png"), 503, "indexation");
  ExpectError(c.Get("/api/media/son/0.wav"), 503, "indexation");
  ExpectError(c.Get("/api/media/texte/1"), 503, "indexation");
  for (const char* medium : {"texte", "image", "son"}) {
    // Unavailable ranker or missing ranked file: 503 either way.
    ExpectError(c.Post((std::string("/api/classement/") + medium).c_str(), Slurp(std::string(DEMO_DIR) + "/queries/requete.bin"),
                       "application/octet-stream"),
                503);
  }
}

TEST_F(WebE2E, BadRequestsGetJsonErrors) {
  WebServer server(store_);
  auto c = server.Client();
  Index(c);
  ExpectError(c.Get("/nulle/part"), 404);
  ExpectError(c.Get("/api/media/video/1"), 404);
  ExpectError(c.Post("/api/classement/video", "x", "application/octet-stream"), 404);
  ExpectError(c.Get("/api/indexation"), 404);
  ExpectError(c.Get("/api/recherche"), 400, "mot");
  ExpectError(c.Get("/api/recherche?mot="), 400, "mot");
  ExpectError(c.Post("/api/classement/texte", "", "application/octet-stream"), 400);
  ExpectError(c.Post("/api/classement/image?max=-1", "3 3 1", "application/octet-stream"), 400, "max");
  ExpectError(c.Get("/api/media/image/1.wav"), 400);
  ExpectError(c.Get("/api/media/image/..%2f..%2fetc%2fpasswd"), 404);  // decoded: no such route
  ExpectError(c.Get("/api/media/texte/007"), 400);
  ExpectError(c.Get("/api/media/image/99.png"), 404);
  ExpectError(c.Get("/api/media/son/5.wav"), 404);

  // The body is the query whatever its content type says: a form type over
  // 8 KiB is neither parsed nor refused.
  std::string text;
  for (int i = 0; i < 10; ++i) text += Slurp(std::string(DEMO_DIR) + "/" + e2e::kTexts + "01_maison_de_campagne.xml");
  ASSERT_GT(text.size(), 8192u);
  for (const char* type : {"application/x-www-form-urlencoded", "text/xml", ""}) {
    const auto r = c.Post("/api/classement/texte", text, type);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->status == 200 || r->status == 503) << type << " " << r->status << " " << r->body;
  }

  // Over 64 MiB: refused without being ranked.
  const std::string big((64u << 20) + 1, 'a');
  ExpectError(c.Post("/api/classement/texte", big, "application/octet-stream"), 413);
  // The server still answers afterwards.
  auto r = c.Get("/api/etat");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
}

TEST_F(WebE2E, PageAndMedia) {
  WebServer server(store_);
  auto c = server.Client();
  auto r = c.Get("/");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(r->body.find("Recherche multimédia"), std::string::npos);
  for (const char* file : {"/app.js", "/style.css"}) {
    r = c.Get(file);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200) << file;
    EXPECT_GT(r->body.size(), 100u) << file;
  }

  Index(c);
  r = c.Get("/api/media/image/0.png");  // arc_en_ciel.txt, the first colour image
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200) << r->body;
  EXPECT_EQ(r->get_header_value("Content-Type"), "image/png");
  ASSERT_GT(r->body.size(), 24u);
  EXPECT_EQ(r->body.substr(0, 8), "\x89PNG\r\n\x1a\n");
  std::istringstream header(Slurp(std::string(DEMO_DIR) + "/" + e2e::kRgb + "arc_en_ciel.txt"));
  uint32_t lines = 0, columns = 0;
  header >> lines >> columns;
  auto be32 = [&](size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(r->body[at + i]);
    return v;
  };
  EXPECT_EQ(be32(16), columns);  // IHDR width
  EXPECT_EQ(be32(20), lines);
  EXPECT_EQ(r->body[25], 2);  // colour type: RGB

  r = c.Get("/api/media/son/3.wav");  // rafales.bin
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200) << r->body;
  EXPECT_EQ(r->get_header_value("Content-Type"), "audio/wav");
  const size_t raw = fs::file_size(std::string(DEMO_DIR) + "/" + e2e::kSounds + "rafales.bin");
  EXPECT_EQ(r->body.size(), 44 + raw / 8 * 2);
  EXPECT_EQ(r->body.substr(0, 4), "RIFF");
  // Players seek with range requests.
  const std::string whole = r->body;
  r = c.Get("/api/media/son/3.wav", {{"Range", "bytes=1000-1999"}});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 206);
  EXPECT_EQ(r->body, whole.substr(1000, 1000));

  r = c.Get("/api/media/texte/1");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200) << r->body;
  EXPECT_EQ(r->get_header_value("Content-Type"), "text/plain; charset=utf-8");
  EXPECT_EQ(r->body, Slurp(std::string(DEMO_DIR) + "/" + e2e::kTexts + "01_maison_de_campagne.xml"));
}

TEST_F(WebE2E, RechercheShowsWhatTheCommandLineShows) {
  WebServer server(store_);
  auto c = server.Client();
  Index(c);
  const e2e::Result cli = store_.engine({"recherche", "maison"}, {.stdin_data = "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n", .env = {}, .timeout_seconds = 120, .cwd = "", .kill_after_ms = -1});
  ASSERT_EQ(cli.status, 0);
  std::vector<std::string> shown;  // the names, in the order printed
  std::istringstream lines(cli.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 4 && line.substr(line.size() - 4) == ".xml") shown.push_back(line);
  }
  ASSERT_FALSE(shown.empty());

  const auto r = c.Get("/api/recherche?mot=maison");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200);
  const json j = Json(r);
  EXPECT_EQ(j["mot"], "maison");
  ASSERT_EQ(j["results"].size(), shown.size());
  int last = INT32_MAX;
  for (size_t i = 0; i < shown.size(); ++i) {
    const json& hit = j["results"][i];
    EXPECT_EQ(hit["name"], shown[i]) << i;
    EXPECT_TRUE(hit["id"].is_number_integer());
    EXPECT_LE(hit["count"].get<int>(), last);
    last = hit["count"];
  }

  const auto none = c.Get("/api/recherche?mot=Maison");
  ASSERT_TRUE(none);
  EXPECT_EQ(none->status, 200);
  EXPECT_EQ(none->body, R"({"mot":"Maison","results":[]})");
  const auto accented = c.Get("/api/recherche?mot=%C3%A9t%C3%A9");
  ASSERT_TRUE(accented);
  EXPECT_EQ(accented->status, 200);
  EXPECT_EQ(Json(accented)["mot"], "été");
}

// A ranked search of each medium, once its ranker is built.
class WebClassement : public WebE2E, public ::testing::WithParamInterface<const char*> {};

TEST_P(WebClassement, FindsTheSourceOfTheDemoQuery) {
  const std::string medium = GetParam();
  WebServer server(store_);
  auto c = server.Client();
  Index(c);
  const json etat = Json(c.Get("/api/etat"));
  const std::string query = medium == "texte" ? "requete.xml" : medium == "image" ? "requete_rgb.txt" : "requete.bin";
  const std::string bytes = Slurp(std::string(DEMO_DIR) + "/queries/" + query);
  const auto r = c.Post(("/api/classement/" + medium + "?max=3&nom=" + query).c_str(), bytes,
                        "application/octet-stream");
  if (!etat["classement"][medium].get<bool>()) {
    ExpectError(r, 503, "pas encore disponible");
    GTEST_SKIP() << "classement " << medium << " : ranker not built yet";
  }
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200) << r->body;
  const json j = Json(r);
  EXPECT_EQ(j["medium"], medium);
  EXPECT_EQ(j["query"], query);
  ASSERT_TRUE(j["verdict"].is_object());
  ASSERT_TRUE(j["results"].is_array());
  ASSERT_GE(j["results"].size(), 1u);
  EXPECT_LE(j["results"].size(), 3u);
  if (medium == "image") {
    EXPECT_EQ(j["results"][0]["name"], "disque_rouge.txt");
  }
  if (medium == "son") {
    EXPECT_EQ(j["results"][0]["name"], "rafales.bin");
    EXPECT_NEAR(j["results"][0]["offset_s"].get<double>(), 2.56, 0.2);
  }
  // A body that is no file of the medium.
  ExpectError(c.Post(("/api/classement/" + medium).c_str(), std::string("\x01\x02\x03", 3), "application/octet-stream"),
              400);
}

INSTANTIATE_TEST_SUITE_P(Media, WebClassement, ::testing::Values("texte", "image", "son"));

// Searches and media served while indexations run, from the page and from
// the command line, always see whole bases: the answers never change.
TEST_F(WebE2E, ConcurrentRequestsDuringIndexation) {
  e2e::generate_corpus(store_, {300, 400, 60, 96, 6, 8}, 7, 100);
  WebServer server(store_);
  auto c = server.Client();
  auto first = c.Post("/api/indexation", "", "application/octet-stream");
  ASSERT_TRUE(first);
  ASSERT_EQ(first->status, 200);
  const json counts = Json(first);
  const std::string baseline = c.Get("/api/recherche?mot=maison")->body;
  const std::string png = c.Get("/api/media/image/0.png")->body;
  ASSERT_NE(baseline.find("results"), std::string::npos);

  std::atomic<bool> done{false};
  std::atomic<int> answered{0}, wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 6; ++t) {
    readers.emplace_back([&, t] {
      auto rc = server.Client();
      while (!done) {
        if (t % 2 == 0) {
          const auto r = rc.Get("/api/recherche?mot=maison");
          if (!r || r->status != 200 || r->body != baseline) ++wrong;
        } else {
          const auto r = rc.Get("/api/media/image/0.png");
          if (!r || r->status != 200 || r->body != png) ++wrong;
        }
        ++answered;
      }
    });
  }
  // Two indexations through the page at once, and one by the command line.
  std::thread web_a([&] {
    auto r = server.Client().Post("/api/indexation", "", "application/octet-stream");
    if (!r || r->status != 200 || Json(r)["texte"]["count"] != counts["texte"]["count"]) ++wrong;
  });
  std::thread web_b([&] {
    auto r = server.Client().Post("/api/indexation", "", "application/octet-stream");
    if (!r || r->status != 200 || Json(r)["son"]["count"] != counts["son"]["count"]) ++wrong;
  });
  const e2e::Result cli = store_.engine({"indexation"});
  web_a.join();
  web_b.join();
  done = true;
  for (auto& t : readers) t.join();
  EXPECT_EQ(cli.status, 0) << cli.err;
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(answered, 6);
  EXPECT_EQ(c.Get("/api/recherche?mot=maison")->body, baseline);
  EXPECT_EQ(server.Stop(), 0);
}

TEST_F(WebE2E, StopsCleanlyOnSigint) {
  auto running = store_.start(ENGINE_WEB_BINARY, {"--port", "0"});
  for (int i = 0; i < 1500 && Slurp(running.io_dir + "/out").find('\n') == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(running.pid, SIGINT);
  const e2e::Result r = e2e::Store::finish(running);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);

  const e2e::Result usage = store_.run(ENGINE_WEB_BINARY, {"--port", "http"});
  EXPECT_EQ(usage.status, 2);
  const e2e::Result nowhere = store_.run(ENGINE_WEB_BINARY, {"-C", "/"});
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_NE(nowhere.err.find("EXTERN_FILES"), std::string::npos);
}

}  // namespace
