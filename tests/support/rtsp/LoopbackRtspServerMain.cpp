// A small RTSP server on 127.0.0.1 for integration tests: a live test picture (MJPEG over RTP)
// at /live. It prints "PORT <n>" once it listens and ends on SIGTERM or when its input closes.
#include <glib-unix.h>
#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

#include <csignal>
#include <cstdio>

namespace {

gboolean quit(gpointer loop) {
  g_main_loop_quit(static_cast<GMainLoop*>(loop));
  return G_SOURCE_REMOVE;
}

// The test that started the server holds the other end of standard input: when the test ends,
// even by a crash, the server ends too.
gboolean inputClosed(gint, GIOCondition, gpointer loop) { return quit(loop); }

}  // namespace

int main(int argc, char** argv) {
  gst_init(&argc, &argv);
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  GstRTSPServer* server = gst_rtsp_server_new();
  gst_rtsp_server_set_address(server, "127.0.0.1");
  gst_rtsp_server_set_service(server, "0");  // any free port

  GstRTSPMediaFactory* factory = gst_rtsp_media_factory_new();
  gst_rtsp_media_factory_set_launch(factory,
                                    "( videotestsrc is-live=true pattern=ball ! "
                                    "video/x-raw,format=I420,width=320,height=240,framerate=25/1 "
                                    "! jpegenc ! rtpjpegpay name=pay0 pt=26 )");
  gst_rtsp_media_factory_set_shared(factory, TRUE);
  GstRTSPMountPoints* mounts = gst_rtsp_server_get_mount_points(server);
  gst_rtsp_mount_points_add_factory(mounts, "/live", factory);
  g_object_unref(mounts);

  if (gst_rtsp_server_attach(server, nullptr) == 0) {
    std::fprintf(stderr, "the RTSP server could not listen on 127.0.0.1\n");
    return 1;
  }
  g_unix_signal_add(SIGTERM, quit, loop);
  g_unix_signal_add(SIGINT, quit, loop);
  g_unix_fd_add(0, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), inputClosed, loop);
  std::printf("PORT %d\n", gst_rtsp_server_get_bound_port(server));
  std::fflush(stdout);

  g_main_loop_run(loop);
  g_object_unref(server);
  g_main_loop_unref(loop);
  return 0;
}
