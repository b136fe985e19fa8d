// The launcher's window, start-up and worker land here.
