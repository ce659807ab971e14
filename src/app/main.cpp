// boneyard: a dog collects bones in a fenced night-time yard before the clock runs out.
#include "commandline.h"
#include "desktop.h"
#include "shell.h"

#include <GL/glut.h>

int main(int argc, char** argv) {
    // Read before glutInit: --help, --version and a bad command line need no display.
    CommandLine options = parseCommandLine(argc, argv);
    if (options.action != CommandLine::Action::Play) return answerCommandLine(options);
    if (!displayOpens(options)) return 1;
    if (options.geometryAt != 0) argv[options.geometryAt] = options.geometry.data();  // with its size

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    reportMissingData();
    // A missing picture ends the game here, before the screen mode changes or a window
    // exists, so the desktop is left as it was.
    readTextures();
    glutGameModeString("1024x768:32@75");
    // The window is named in its map: GLUT creates and maps it in one call, so desktop.cpp
    // defines XMapWindow, and the next map after this (the game's own window, in game mode
    // or not) goes out with its class, pid and icon, which docks and task bars match it by.
    nameWindowAtNextMap();
    const bool fullScreenPossible = !options.windowed && glutGameModeGet(GLUT_GAME_MODE_POSSIBLE);
    if (fullScreenPossible) catchQuitSignals();  // from here on a signal must give the desktop its video mode back
    if (!fullScreenPossible || !enterFullScreen()) {
        if (options.geometry.empty()) glutInitWindowSize(1024, 768);  // else -geometry's, which glutInit took
        // GLUT waits in here until the window is mapped, which a window manager may put off
        // (-iconic); a signal not yet caught then ends the game at once, with nothing to undo.
        glutCreateWindow("Assignment 3 - Pellowin");
        if (!fullScreenPossible) catchQuitSignals();
    }

    glutReshapeFunc(myReshape);
    glutDisplayFunc(displayCallback);
    glutKeyboardFunc(keyCallback);
    glutMouseFunc(mouseCallback);
    glutMotionFunc(motionCallback);
    glutIdleFunc(idleCallback);
    glutWindowStatusFunc(windowStatusCallback);

    init();
    glutMainLoop();
    return 0;
}
