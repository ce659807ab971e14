// boneyard: a dog collects bones in a fenced night-time yard before the clock runs out.
#include "shell.h"

#include <GL/glut.h>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
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

    reportMissingData();
    init();
    glutMainLoop();
    return 0;
}
