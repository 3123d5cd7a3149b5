// The two ways a page runs once its components have started.
#pragma once

class PageOutput;
struct Host;
struct HostOptions;

// Live, under the real clock: the message loop, waiting in between on
// curl's sockets and the output's descriptors, until the user quits.
void RunLive(Host& host, PageOutput& output);

// Headless, under the manual clock: virtual time advances in small steps
// and, before each step, every URL transfer is carried to its end (or
// given up after --stream-timeout ms), so the same page always gives
// the same pictures. Shows the output the page at --after ms and then
// every --frame-ms for an animation.
void RunHeadless(Host& host, PageOutput& output, const HostOptions& options);
