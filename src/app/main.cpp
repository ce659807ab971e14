// boneyard: a dog collects bones in a fenced night-time yard before the clock runs out.
#include "shell.h"

#include <GL/glut.h>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    reportMissingData();
    // A missing picture ends the game here, before the screen mode changes or a window
    // exists, so the desktop is left as it was.
    readTextures();
    glutGameModeString("1024x768:32@75");
    if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        glutEnterGameMode();
    } else {
        glutInitWindowSize(1024, 768);
        glutCreateWindow("Assignment 3 - Pellowin");
    }

    glutReshapeFunc(myReshape);
    glutDisplayFunc(displayCallback);
    glutKeyboardFunc(keyCallback);
    glutMouseFunc(mouseCallback);
    glutMotionFunc(motionCallback);
    glutIdleFunc(idleCallback);

    init();
    glutMainLoop();
    return 0;
}
